#pragma once

#include <QLabel>

// A label that never asks for the width of its text, so that no text can
// widen the window it sits in: a text too long for its room is shown with
// its beginning elided (the newest part stays in sight) and whole in its
// tool tip. text() is always the whole text.
class ElidedLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ElidedLabel(QWidget *parent = nullptr);

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};
