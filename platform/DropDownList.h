#pragma once

#include <QStringList>

// A list to pick one entry from, by position; None while nothing is chosen.
class DropDownList
{
public:
    static constexpr int None = -1;

    virtual ~DropDownList() = default;
    virtual void setEntries(const QStringList &entries) = 0;
    virtual int currentPosition() const = 0;
};
