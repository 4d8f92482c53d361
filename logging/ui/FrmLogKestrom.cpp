#include "logging/ui/FrmLogKestrom.h"

#include "logging/LogSetup.h"
#include "platform/qt/widgets/QtButton.h"
#include "platform/qt/widgets/QtDropDownList.h"
#include "platform/qt/widgets/QtFileChooser.h"
#include "platform/qt/widgets/QtOptionGroup.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace {

// The design is laid out in twips; 10 twips a pixel (not the designed 15)
// leaves room for the wider fonts of this platform.
QRect twips(int left, int top, int width, int height)
{
    constexpr int perPixel = 10;
    return QRect(left / perPixel, top / perPixel, width / perPixel, height / perPixel);
}

// The members as one exclusive group, numbered in the order given.
QButtonGroup *optionGroup(std::initializer_list<QRadioButton *> members, QObject *owner)
{
    auto *group = new QButtonGroup(owner);
    int id = 0;
    for (QRadioButton *member : members)
        group->addButton(member, id++);
    return group;
}

template <typename Widget> Widget *placed(Widget *widget, const char *name, const QRect &geometry)
{
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(geometry);
    return widget;
}

} // namespace

FrmLogKestrom::FrmLogKestrom(LogSetup &setup, FileChooser *chooser, QWidget *parent)
    : QDialog(parent)
    , m_setup(setup)
{
    setObjectName(QStringLiteral("FrmLogKestrom"));
    setWindowTitle(QStringLiteral("Logger"));
    setModal(false);
    setFixedSize(twips(0, 0, 3510, 2415).size());

    auto *frame = placed(new QGroupBox(QStringLiteral("Log File Parameters:"), this), "Frame1",
                         twips(120, 120, 3252, 1692));
    QFont bold = frame->font();
    bold.setBold(true);
    frame->setFont(bold);
    QFont plain = font();
    plain.setBold(false); // set explicitly, or the frame's bold is inherited

    auto *noSave = placed(new QRadioButton(QStringLiteral("No Save"), frame), "optDatafile_0",
                          twips(120, 240, 1212, 372));
    auto *writeToFile = placed(new QRadioButton(QStringLiteral("Write to File"), frame),
                               "optDatafile_1", twips(120, 720, 1212, 252));
    auto *label = placed(new QLabel(QStringLiteral("Logging Interval(sec)"), frame), "Label1",
                         twips(1800, 300, 1332, 372));
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    auto *interval = placed(new QComboBox(frame), "cmbInterval", twips(2040, 780, 792, 300));
    for (QWidget *child : {static_cast<QWidget *>(noSave), static_cast<QWidget *>(writeToFile),
                           static_cast<QWidget *>(label), static_cast<QWidget *>(interval)})
        child->setFont(plain);

    // Drawn over the lower part of the frame, but a group of the dialog.
    auto *append = placed(new QRadioButton(QStringLiteral("Append"), this), "optAppend_0",
                          twips(720, 1200, 1332, 252));
    auto *overwrite = placed(new QRadioButton(QStringLiteral("Overwrite"), this), "optAppend_1",
                             twips(720, 1440, 1332, 252));
    auto *select = placed(new QPushButton(QStringLiteral("Select File"), this), "cmdSelect",
                          twips(600, 1920, 972, 372));
    auto *ok =
        placed(new QPushButton(QStringLiteral("OK"), this), "cmdExit", twips(1920, 1920, 972, 372));
    select->setAutoDefault(false);
    ok->setAutoDefault(false);

    m_optDatafile = std::make_unique<QtOptionGroup>(optionGroup({noSave, writeToFile}, this));
    m_optAppend = std::make_unique<QtOptionGroup>(optionGroup({append, overwrite}, this));
    m_cmbInterval = std::make_unique<QtDropDownList>(interval);
    m_cmdSelect = std::make_unique<QtButton>(select);
    m_cmdExit = std::make_unique<QtButton>(ok);
    if (!chooser) {
        m_ownChooser = std::make_unique<QtFileChooser>(this);
        chooser = m_ownChooser.get();
    }

    LogSetupControls controls;
    controls.optDatafile = m_optDatafile.get();
    controls.optAppend = m_optAppend.get();
    controls.cmbInterval = m_cmbInterval.get();
    controls.cdlDataFiles = chooser;
    controls.cmdSelect = m_cmdSelect.get();
    controls.cmdExit = m_cmdExit.get();
    controls.hide = [this] { hide(); };
    m_setup.attach(controls);
    // Closed, not hidden: its choices are discarded with it.
    connect(this, &QDialog::finished, this, [this] {
        m_attached = false;
        m_setup.detach();
    });
}

FrmLogKestrom::~FrmLogKestrom()
{
    if (m_attached)
        m_setup.detach();
}
