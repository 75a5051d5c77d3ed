#include "platform/qt/QtWindows.h"

#include <QtCore/QVariant>
#include <QtGui/QWindow>
#include <QtWidgets/QApplication>
#include <algorithm>

#include "platform/TabOrder.h"

namespace quotamin {

WindowHandle QtWindows::Add(QtWindow window) {
    const WindowHandle handle = static_cast<WindowHandle>(m_nextHandle++);
    if (window.widget) {
        window.widget->setProperty(kWindowProperty,
                                   QVariant::fromValue(static_cast<qulonglong>(handle)));
    }
    m_windows.emplace(handle, std::move(window));
    return handle;
}

void QtWindows::Remove(WindowHandle window) {
    auto found = m_windows.find(window);
    if (found == m_windows.end()) {
        return;
    }
    for (const DialogControl& control : found->second.controls) {
        m_windows.erase(control.window);
    }
    m_windows.erase(found);
    std::erase(m_modal, window);
    ForgetForeground(window);
}

QtWindow* QtWindows::Find(WindowHandle window) {
    auto found = m_windows.find(window);
    return found == m_windows.end() ? nullptr : &found->second;
}

const QtWindow* QtWindows::Find(WindowHandle window) const {
    auto found = m_windows.find(window);
    return found == m_windows.end() ? nullptr : &found->second;
}

QWidget* QtWindows::Widget(WindowHandle window) const {
    const QtWindow* w = Find(window);
    return w == nullptr ? nullptr : w->widget.data();
}

WindowHandle QtWindows::HandleOf(const QWidget* widget) const {
    for (; widget != nullptr; widget = widget->parentWidget()) {
        const QVariant handle = widget->property(kWindowProperty);
        if (handle.isValid()) {
            const auto window = static_cast<WindowHandle>(handle.toULongLong());
            return Exists(window) ? window : WindowHandle{};
        }
    }
    return WindowHandle{};
}

DialogControl* QtWindows::Control(WindowHandle control) {
    const QtWindow* w = Find(control);
    if (w == nullptr || w->kind != QtWindow::Kind::Control) {
        return nullptr;
    }
    QtWindow* dialog = Find(w->dialog);
    return dialog == nullptr ? nullptr : &dialog->controls.at(w->index);
}

WindowHandle QtWindows::Innermost() const {
    return m_modal.empty() ? WindowHandle{} : m_modal.back();
}

bool QtWindows::IsEnabled(WindowHandle window) const {
    const QWidget* widget = Widget(window);
    return widget != nullptr && widget->isEnabled();
}

void QtWindows::Enable(WindowHandle window, bool enable) {
    if (DialogControl* control = Control(window)) {
        control->enabled = enable;
    }
    if (QWidget* widget = Widget(window)) {
        widget->setEnabled(enable);
    }
}

void QtWindows::SetForeground(WindowHandle window) {
    QWidget* widget = Widget(window);
    if (widget == nullptr) {
        return;
    }
    m_foreground = HandleOf(widget->window());
    if (widget->isVisible()) {
        widget->window()->raise();
        widget->window()->activateWindow();
    }
}

void QtWindows::ForgetForeground(WindowHandle window) {
    if (m_foreground == window) {
        m_foreground = WindowHandle{};
    }
}

WindowHandle QtWindows::Focus() const {
    // The window system's focus window, which the widgets' notion of the
    // active window can lag behind when a window hides and shows at once.
    const QWindow* focusWindow = QGuiApplication::focusWindow();
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (focusWindow != nullptr && widget->windowHandle() == focusWindow) {
            QWidget* focus = widget->focusWidget();
            return HandleOf(focus != nullptr ? focus : widget);
        }
    }
    return WindowHandle{};
}

void QtWindows::SetFocus(WindowHandle window) {
    QtWindow* w = Find(window);
    if (w == nullptr || !w->widget) {
        return;
    }
    if (w->kind != QtWindow::Kind::Dialog) {
        w->widget->setFocus(Qt::OtherFocusReason);
        return;
    }
    // The dialog's own focus goes to its control that had it last.
    QWidget* last = w->widget->focusWidget();
    if (last != nullptr && last != w->widget) {
        last->setFocus(Qt::OtherFocusReason);
    } else if (const std::optional<std::size_t> first = FirstTabStop(w->controls)) {
        if (QWidget* control = Widget(w->controls[*first].window)) {
            control->setFocus(Qt::OtherFocusReason);
        }
    }
}

}  // namespace quotamin
