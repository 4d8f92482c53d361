#pragma once

#include "platform/Label.h"

class QLabel;
class QLineEdit;

// A label, or a one-line text entry, as a label.
class QtLabel : public Label
{
public:
    explicit QtLabel(QLabel *label);
    explicit QtLabel(QLineEdit *entry);

    void setText(const QString &text) override;
    QString text() const override;

private:
    QLabel *m_label = nullptr;
    QLineEdit *m_entry = nullptr;
};
