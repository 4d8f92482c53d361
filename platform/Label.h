#pragma once

#include <QString>

class Label
{
public:
    virtual ~Label() = default;
    virtual void setText(const QString &text) = 0;
    virtual QString text() const = 0;
};
