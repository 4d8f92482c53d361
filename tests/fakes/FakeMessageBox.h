#pragma once

#include "platform/MessageBox.h"

#include <QStringList>

#include <functional>

// Counts the messages and answers each at once; onShow runs while a message
// is "open", as other events could on a real screen.
class FakeMessageBox : public MessageBox
{
public:
    QStringList texts;
    QStringList titles;
    std::function<void()> onShow;

    void show(const QString &text, const QString &title) override
    {
        texts << text;
        titles << title;
        if (onShow)
            onShow();
    }
};
