#include "platform/qt/DialogWidget.h"

#include <QtCore/QTimer>
#include <QtGui/QCloseEvent>
#include <QtGui/QContextMenuEvent>
#include <QtGui/QKeyEvent>
#include <QtWidgets/QAbstractButton>

namespace quotamin {

DialogWidget::DialogWidget(Events& events, Qt::WindowFlags flags)
    : QWidget(nullptr, flags), m_events(events) {
    // The dialog erases its own background (WM_ERASEBKGND), bitmap and all.
    setAttribute(Qt::WA_OpaquePaintEvent);
    installEventFilter(this);
}

void DialogWidget::Adopt(QWidget& control, WindowHandle handle) {
    control.installEventFilter(this);
    if (auto* button = qobject_cast<QAbstractButton*>(&control)) {
        QObject::connect(button, &QAbstractButton::clicked, this, [this, handle] {
            ++m_clicks;
            m_events.Clicked(handle);
        });
        // The mouse and the keys toggle a check box or radio button and then
        // click it; an assistive technology (a screen reader, through the
        // accessibility bus) toggles it alone. Such a toggle is heard as the
        // click it stands for once the event that made it is done, so that the
        // dialog manager checks and unchecks the group as for a click. (The
        // program's own changes of a check are made with the signals blocked.)
        QObject::connect(button, &QAbstractButton::toggled, this, [this, handle] {
            const unsigned long long clicks = m_clicks;
            QTimer::singleShot(0, this, [this, handle, clicks] {
                if (m_clicks == clicks) {
                    ++m_clicks;
                    m_events.Clicked(handle);
                }
            });
        });
    }
}

void DialogWidget::paintEvent(QPaintEvent*) {
    m_events.Paint(m_handle, *this);
}

void DialogWidget::closeEvent(QCloseEvent* event) {
    // The window closes when the dialog ends, not when asked to.
    event->ignore();
    m_events.CloseBox(m_handle);
}

void DialogWidget::contextMenuEvent(QContextMenuEvent* event) {
    m_events.ContextMenu(m_handle, event->globalPos());
}

bool DialogWidget::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return QWidget::eventFilter(watched, event);
    }
    const auto* key = static_cast<const QKeyEvent*>(event);
    const Qt::KeyboardModifiers others =
        key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            if (others == Qt::NoModifier && m_events.DialogKey(m_handle, key->key())) {
                return true;
            }
            break;
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace quotamin
