#pragma once

#include "platform/MessageBox.h"

class QWidget;

// A modal message with one OK button over the parent window; an empty title
// gives the default title.
class QtMessageBox : public MessageBox
{
public:
    QtMessageBox(QWidget *parent, const QString &defaultTitle);
    void show(const QString &text, const QString &title) override;

private:
    QWidget *m_parent;
    QString m_defaultTitle;
};
