#pragma once

#include "platform/Label.h"

class QLabel;

class QtLabel : public Label
{
public:
    explicit QtLabel(QLabel *label);
    void setText(const QString &text) override;
    QString text() const override;

private:
    QLabel *m_label;
};
