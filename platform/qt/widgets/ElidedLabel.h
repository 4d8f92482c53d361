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

    // Texts that must always show whole: the label is never narrower than
    // the widest of them, in whatever font it has.
    void keepWhole(const QStringList &texts);

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void fitWhole();

    QStringList m_whole;
};
