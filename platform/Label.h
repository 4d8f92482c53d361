#pragma once

#include <QString>

// A text the logic sets and reads back: a label, or a text entry the
// operator may also type into.
class Label
{
public:
    virtual ~Label() = default;
    virtual void setText(const QString &text) = 0;
    virtual QString text() const = 0;
};
