#pragma once

#include <QLabel>

// The cursors' measurement over the plot area, in a box the operator can
// drag anywhere on it with the mouse, so it never has to hide the curves it
// measures. Until dragged it stands in the top corner farther from the
// cursors; it stays on the canvas when the canvas changes size.
class MeasurementBox : public QLabel
{
public:
    explicit MeasurementBox(QWidget *canvas);

    // Shows the text (nothing hides the box); cursorsAt are the cursors'
    // places across the canvas, from 0 to 1, for where it first stands.
    void show(const QString &text, double cursor1At, double cursor2At);
    bool wasMoved() const { return m_moved; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void keepOnCanvas();

    QPoint m_grabbed; // where in the box the mouse took it, while dragging
    bool m_dragging = false;
    bool m_moved = false;
};
