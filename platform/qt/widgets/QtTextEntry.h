#pragma once

#include "platform/TextEntry.h"

class QLineEdit;

// A one-line edit as a text entry.
class QtTextEntry : public TextEntry
{
public:
    explicit QtTextEntry(QLineEdit *edit);
    void setText(const QString &text) override;
    QString text() const override;

private:
    QLineEdit *m_edit;
};
