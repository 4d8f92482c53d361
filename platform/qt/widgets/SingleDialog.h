#pragma once

#include <QDialog>
#include <QPointer>

#include <functional>

// The one window of a modeless dialog: show() creates it when there is
// none, else brings it to the front. Closing it (its close box or Escape)
// discards it, so the next show() creates it afresh from its load step;
// hiding it keeps it with everything chosen in it.
template <typename Dialog> class SingleDialog
{
public:
    explicit SingleDialog(std::function<Dialog *()> create) : m_create(std::move(create)) { }
    ~SingleDialog() { delete m_dialog.data(); }
    SingleDialog(const SingleDialog &) = delete;
    SingleDialog &operator=(const SingleDialog &) = delete;

    Dialog *show()
    {
        if (!m_dialog) {
            m_dialog = m_create();
            QObject::connect(m_dialog.data(), &QDialog::finished, m_dialog.data(), [this] {
                Dialog *closed = m_dialog.data();
                m_dialog.clear();
                closed->deleteLater();
            });
        }
        m_dialog->show();
        m_dialog->raise();
        m_dialog->activateWindow();
        return m_dialog.data();
    }

    // The current window, or nullptr when there is none.
    Dialog *dialog() const { return m_dialog.data(); }

private:
    std::function<Dialog *()> m_create;
    QPointer<Dialog> m_dialog;
};
