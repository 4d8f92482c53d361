#pragma once

#include <QString>

// A modal prompt with an empty entry, OK and Cancel; Cancel returns the empty text.
class InputBox
{
public:
    virtual ~InputBox() = default;
    virtual QString ask(const QString &prompt, const QString &title) = 0;
};
