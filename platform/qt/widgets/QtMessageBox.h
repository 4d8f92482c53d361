#pragma once

#include "platform/MessageBox.h"

class QWidget;

// A modal message with one OK button over the parent window.
class QtMessageBox : public MessageBox
{
public:
    explicit QtMessageBox(QWidget *parent);
    using MessageBox::show;
    void show(const QString &text, const QString &title) override;

private:
    QWidget *m_parent;
};
