#pragma once

#include <QString>

class TextEntry
{
public:
    virtual ~TextEntry() = default;
    virtual void setText(const QString &text) = 0;
    virtual QString text() const = 0;
};
