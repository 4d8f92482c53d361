#pragma once

#include <QString>

// A modal message with a single OK button; returns once the operator closed it.
class MessageBox
{
public:
    virtual ~MessageBox() = default;
    virtual void show(const QString &text, const QString &title) = 0;
};
