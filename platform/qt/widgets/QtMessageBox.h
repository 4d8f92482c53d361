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

    // How wide a window must be for its frame to show the title whole.
    static int titleWidth(const QString &title);

private:
    QWidget *m_parent;
};
