#pragma once

#include <QString>

// A modal prompt with an empty entry, OK and Cancel; Cancel returns the empty text.
// Details, when given, stand below the entry as help for the answer.
class InputBox
{
public:
    virtual ~InputBox() = default;
    virtual QString ask(const QString &prompt, const QString &title,
                        const QString &details = QString()) = 0;
};
