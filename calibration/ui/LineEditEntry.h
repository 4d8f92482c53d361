#pragma once

#include "platform/TextEntry.h"

class QLineEdit;

// A QLineEdit as a text entry.
class LineEditEntry : public TextEntry
{
public:
    explicit LineEditEntry(QLineEdit *edit) : m_edit(edit) {}
    void setText(const QString &text) override;
    QString text() const override;

private:
    QLineEdit *m_edit;
};
