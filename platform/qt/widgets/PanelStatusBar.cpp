#include "platform/qt/widgets/PanelStatusBar.h"

#include "platform/qt/widgets/ElidedLabel.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>

PanelStatusBar::PanelStatusBar(QWidget *parent) : QStatusBar(parent)
{
    static constexpr int stretches[PanelCount] = {4, 2, 2, 2};
    for (int i = 0; i < PanelCount; ++i) {
        auto *frame = new QFrame(this);
        frame->setFrameShape(QFrame::Panel);
        frame->setFrameShadow(QFrame::Sunken);
        auto *layout = new QHBoxLayout(frame);
        layout->setContentsMargins(4, 1, 4, 1);
        layout->setSpacing(4);
        if (i == PanelCount - 1) {
            m_picture = new QLabel(frame);
            m_picture->setObjectName(QStringLiteral("panel4Picture"));
            layout->addWidget(m_picture);
        }
        m_panels[i] = new ElidedLabel(frame);
        m_panels[i]->setObjectName(QStringLiteral("panel%1").arg(i + 1));
        layout->addWidget(m_panels[i], 1);
        addWidget(frame, stretches[i]);
    }
}

QLabel *PanelStatusBar::panel(int number) const
{
    if (number < 1 || number > PanelCount)
        return nullptr;
    return m_panels[number - 1];
}

void PanelStatusBar::keepWhole(int number, const QStringList &texts)
{
    if (number >= 1 && number <= PanelCount)
        m_panels[number - 1]->keepWhole(texts);
}
