#include "platform/qt/DialogWidget.h"

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
        QObject::connect(button, &QAbstractButton::clicked, this,
                         [this, handle] { m_events.Clicked(handle); });
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
