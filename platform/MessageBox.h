#pragma once

#include <QString>

// A modal message with a single OK button; returns once the operator closed it.
class MessageBox
{
public:
    // The title of every message box that gives none of its own.
    static inline const QString APP_TITLE = QStringLiteral("Kestrom dgh ");

    virtual ~MessageBox() = default;
    virtual void show(const QString &text, const QString &title) = 0;
    void show(const QString &text) { show(text, APP_TITLE); }
};
