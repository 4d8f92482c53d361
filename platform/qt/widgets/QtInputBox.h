#pragma once

#include "platform/InputBox.h"

class QWidget;

// A modal one-line prompt; Cancel or closing it gives the empty text.
class QtInputBox : public InputBox
{
public:
    explicit QtInputBox(QWidget *parent);
    QString ask(const QString &prompt, const QString &title,
                const QString &details = QString()) override;

private:
    QWidget *m_parent;
};
