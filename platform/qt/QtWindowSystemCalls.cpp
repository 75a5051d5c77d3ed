#include "platform/qt/QtWindowSystem.h"

#include <QtGui/QWindow>
#include <QtWidgets/QAbstractButton>
#include <cstring>

#include "platform/ControlLabel.h"
#include "platform/DialogKeys.h"
#include "platform/Styles.h"
#include "platform/qt/AnsiText.h"
#include "platform/qt/QtControls.h"

namespace quotamin {

namespace {

constexpr int kIconPixels = 32;

LResult CopyText(const std::string& text, WParam size, LParam buffer) {
    if (size == 0) {
        return 0;
    }
    const std::size_t length = std::min<std::size_t>(text.size(), size - 1);
    std::memcpy(reinterpret_cast<char*>(buffer), text.data(), length);
    reinterpret_cast<char*>(buffer)[length] = '\0';
    return static_cast<LResult>(length);
}

}  // namespace

// --- Messages ---

LResult QtWindowSystem::SendMessage(WindowHandle window, std::uint32_t message, WParam wParam,
                                    LParam lParam) {
    const QtWindow* w = m_windows.Find(window);
    if (w != nullptr && w->host != nullptr) {
        return w->host->ReceiveMessage(window, message, wParam, lParam);
    }
    return DefaultProcessing(window, message, wParam, lParam);
}

LResult QtWindowSystem::DefaultProcessing(WindowHandle window, std::uint32_t message, WParam wParam,
                                          LParam lParam) {
    QtWindow* w = m_windows.Find(window);
    if (w == nullptr || !w->widget) {
        return 0;
    }
    if (w->kind == QtWindow::Kind::Control) {
        return ProcessControl(window, message, wParam, lParam);
    }
    switch (message) {
        case WM_ERASEBKGND:
        case WM_ICONERASEBKGND: {
            const Rect client = GetClientRect(window);
            m_drawing.Fill(static_cast<DcHandle>(wParam), client,
                           w->widget->palette().color(QPalette::Window));
            return 1;
        }
        case WM_PAINT:
            EndPaint(window, BeginPaint(window));
            return 0;
        case WM_SYSCOMMAND:
            switch (wParam & 0xFFF0) {
                case SC_CLOSE:
                    SendMessage(window, WM_CLOSE, 0, 0);
                    break;
                case SC_MINIMIZE:
                    ShowWindow(window, SW_MINIMIZE);
                    break;
                case SC_RESTORE:
                    ShowWindow(window, SW_SHOWNORMAL);
                    break;
                default:
                    break;  // the window manager moves, sizes and maximises
            }
            return 0;
        case WM_CLOSE:
            if (w->kind == QtWindow::Kind::Dialog) {
                // The dialog manager posts Cancel; it arrives once the loop is idle.
                QMetaObject::invokeMethod(
                    &m_context,
                    [this, window] {
                        if (const QtWindow* open = m_windows.Find(window)) {
                            const KeyCommand command = CancelCommand(open->controls);
                            SendCommand(window, command.id,
                                        command.control ? open->controls[*command.control].window
                                                        : WindowHandle{});
                        }
                    },
                    Qt::QueuedConnection);
            } else {
                EndDialog(window, IDOK);
            }
            return 0;
        case WM_COMMAND:
            if (w->kind == QtWindow::Kind::MessageBox) {
                EndDialog(window, LOWORD(wParam));
            }
            return 0;
        case WM_SETICON: {
            IconHandle& slot = wParam == ICON_BIG ? w->bigIcon : w->smallIcon;
            const IconHandle before = std::exchange(slot, static_cast<IconHandle>(lParam));
            const IconHandle shown = w->bigIcon != IconHandle{} ? w->bigIcon : w->smallIcon;
            w->widget->setWindowIcon(shown != IconHandle{} ? m_drawing.Icon(shown)
                                                           : QApplication::windowIcon());
            return static_cast<LResult>(before);
        }
        case WM_SETTEXT:
            SetWindowText(window, reinterpret_cast<const char*>(lParam));
            return 1;
        case WM_GETTEXT:
            return CopyText(GetWindowText(window), wParam, lParam);
        default:
            return 0;
    }
}

LResult QtWindowSystem::ProcessControl(WindowHandle window, std::uint32_t message, WParam wParam,
                                       LParam lParam) {
    DialogControl* control = m_windows.Control(window);
    QWidget* widget = m_windows.Widget(window);
    if (control == nullptr || widget == nullptr) {
        return 0;
    }
    switch (message) {
        case WM_SETTEXT:
            SetWindowText(window, reinterpret_cast<const char*>(lParam));
            return 1;
        case WM_GETTEXT:
            return CopyText(GetWindowText(window), wParam, lParam);
        case BM_GETCHECK:
            return control->kind == ControlKind::Button ? control->check : 0;
        case BM_SETCHECK:
            if (control->kind == ControlKind::Button) {
                control->check = static_cast<int>(wParam);
                ShowCheck(*widget, control->check);
            }
            return 0;
        case BM_CLICK:
            // As the mouse does it: the button takes the focus, then is clicked.
            if (auto* button = qobject_cast<QAbstractButton*>(widget);
                button && button->isEnabled()) {
                button->setFocus(Qt::MouseFocusReason);
                button->click();
            }
            return 0;
        default:
            return 0;
    }
}

// --- Windows and controls ---

WindowHandle QtWindowSystem::GetDlgItem(WindowHandle dialog, int id) {
    if (const QtWindow* w = m_windows.Find(dialog);
        w != nullptr && w->kind == QtWindow::Kind::Dialog) {
        for (const DialogControl& control : w->controls) {
            if (control.id == id) {
                return control.window;
            }
        }
    }
    return WindowHandle{};
}

std::string QtWindowSystem::GetWindowText(WindowHandle window) {
    const QtWindow* w = m_windows.Find(window);
    if (w == nullptr || !w->widget) {
        return {};
    }
    return ToAnsi(w->kind == QtWindow::Kind::Control ? ControlText(*w->widget)
                                                     : w->widget->windowTitle());
}

void QtWindowSystem::SetWindowText(WindowHandle window, const std::string& text) {
    const QtWindow* w = m_windows.Find(window);
    if (w == nullptr || !w->widget) {
        return;
    }
    if (w->kind != QtWindow::Kind::Control) {
        w->widget->setWindowTitle(FromAnsi(text));
        return;
    }
    if (DialogControl* control = m_windows.Control(window)) {
        control->text = text;
    }
    SetControlText(*w->widget, FromAnsi(text));
    UpdateNameByText(window);
}

void QtWindowSystem::UpdateNameByText(WindowHandle control) {
    const QtWindow* w = m_windows.Find(control);
    const QtWindow* dialog = w == nullptr ? nullptr : m_windows.Find(w->dialog);
    if (dialog != nullptr && w->widget && !AccessibleName(dialog->controls, w->index)) {
        w->widget->setAccessibleName(
            ControlText(*w->widget).replace(QLatin1String("\r\n"), QLatin1String(" ")));
    }
}

bool QtWindowSystem::ShowWindow(WindowHandle window, int command) {
    QtWindow* w = m_windows.Find(window);
    if (w == nullptr || !w->widget) {
        return false;
    }
    QWidget& widget = *w->widget;
    const bool wasVisible = widget.isVisible();
    switch (command) {
        case SW_HIDE:
            widget.hide();
            m_windows.ForgetForeground(window);
            break;
        case SW_MINIMIZE:
            widget.showMinimized();
            break;
        case SW_SHOW:
            widget.show();
            break;
        default:
            // SW_SHOWNORMAL: shown, and restored when minimised.
            if (widget.isMinimized()) {
                widget.showNormal();
            } else {
                widget.show();
            }
            break;
    }
    if (command != SW_HIDE) {
        ApplyTopmost(*w);
    }
    return wasVisible;
}

void QtWindowSystem::ApplyTopmost(const QtWindow& window) {
    // On the native window only: changing a widget's flags hides it. And only
    // when it changes: setting a window's flags on X11 stops its activation.
    QWindow* native = window.kind == QtWindow::Kind::Dialog && window.widget
                          ? window.widget->windowHandle()
                          : nullptr;
    if (native != nullptr && native->flags().testFlag(Qt::WindowStaysOnTopHint) != window.topmost) {
        native->setFlag(Qt::WindowStaysOnTopHint, window.topmost);
    }
}

bool QtWindowSystem::SetForegroundWindow(WindowHandle window) {
    if (!m_windows.Exists(window)) {
        return false;
    }
    m_windows.SetForeground(window);
    return true;
}

WindowHandle QtWindowSystem::SetFocus(WindowHandle window) {
    if (!m_windows.Exists(window)) {
        return WindowHandle{};
    }
    const WindowHandle before = m_windows.Focus();
    m_windows.SetFocus(window);
    return before;
}

bool QtWindowSystem::SetWindowPos(WindowHandle window, WindowHandle insertAfter, int, int, int, int,
                                  std::uint32_t) {
    QtWindow* w = m_windows.Find(window);
    if (w == nullptr || w->kind != QtWindow::Kind::Dialog) {
        return false;
    }
    // The program only puts windows on top or takes them off it; where they
    // are and how large is the window manager's business.
    if (insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST) {
        w->topmost = insertAfter == HWND_TOPMOST;
        ApplyTopmost(*w);
    }
    return true;
}

bool QtWindowSystem::IsIconic(WindowHandle window) {
    const QWidget* widget = m_windows.Widget(window);
    return widget != nullptr && widget->isMinimized();
}

Rect QtWindowSystem::GetClientRect(WindowHandle window) {
    const QWidget* widget = m_windows.Widget(window);
    return widget == nullptr ? Rect{} : Rect{0, 0, widget->width(), widget->height()};
}

// --- Timers ---

std::uintptr_t QtWindowSystem::SetTimer(WindowHandle window, std::uintptr_t id,
                                        std::uint32_t milliseconds) {
    return m_windows.Exists(window) ? m_timers.Set(window, id, milliseconds) : 0;
}

bool QtWindowSystem::KillTimer(WindowHandle window, std::uintptr_t id) {
    return m_timers.Kill(window, id);
}

// --- The system menu ---

MenuHandle QtWindowSystem::GetSystemMenu(WindowHandle window, bool revert) {
    QtWindow* w = m_windows.Find(window);
    if (w == nullptr || w->kind != QtWindow::Kind::Dialog || (w->style & WS_SYSMENU) == 0) {
        return MenuHandle{};
    }
    if (revert) {
        w->systemMenu = DefaultSystemMenu(w->style);
        UpdateSystemMenu(window);
        return MenuHandle{};
    }
    // A window's menu is known by the window's own handle.
    return static_cast<MenuHandle>(static_cast<std::uintptr_t>(window));
}

bool QtWindowSystem::AppendMenu(MenuHandle menu, std::uint32_t flags, std::uintptr_t id,
                                const std::string& text) {
    const auto window = static_cast<WindowHandle>(static_cast<std::uintptr_t>(menu));
    QtWindow* w = m_windows.Find(window);
    if (w == nullptr || w->kind != QtWindow::Kind::Dialog) {
        return false;
    }
    w->systemMenu.push_back({flags, id, (flags & MF_SEPARATOR) != 0 ? std::string() : text});
    UpdateSystemMenu(window);
    return true;
}

// --- Resources and drawing ---

std::string QtWindowSystem::LoadString(int resourceId) {
    auto found = m_resources.strings.find(resourceId);
    return found == m_resources.strings.end() ? std::string() : found->second;
}

IconHandle QtWindowSystem::LoadIcon(int resourceId) {
    return m_drawing.LoadIcon(resourceId);
}

BitmapHandle QtWindowSystem::LoadBitmap(int resourceId) {
    return m_drawing.LoadBitmap(resourceId);
}

bool QtWindowSystem::GetObject(BitmapHandle bitmap, BitmapInfo& info) {
    return m_drawing.GetObject(bitmap, info);
}

bool QtWindowSystem::DeleteObject(BitmapHandle bitmap) {
    return m_drawing.DeleteObject(bitmap);
}

int QtWindowSystem::GetSystemMetrics(int index) {
    return index == SM_CXICON || index == SM_CYICON ? kIconPixels : 0;
}

DcHandle QtWindowSystem::BeginPaint(WindowHandle window) {
    // Outside the window's paint event there is nothing to paint, as on
    // Windows, whose BeginPaint then gives an empty region.
    if (!m_paint || m_paint->window != window || !m_windows.Exists(window)) {
        return DcHandle{};
    }
    const DcHandle dc = m_drawing.WindowContext(*m_paint->painter);
    if (!std::exchange(m_paint->begun, true)) {
        SendMessage(window, WM_ERASEBKGND, static_cast<WParam>(dc), 0);
    }
    return dc;
}

void QtWindowSystem::EndPaint(WindowHandle, DcHandle dc) {
    m_drawing.Release(dc);
}

DcHandle QtWindowSystem::CreateCompatibleDC(DcHandle dc) {
    return m_drawing.CreateCompatibleDC(dc);
}

bool QtWindowSystem::DeleteDC(DcHandle dc) {
    return m_drawing.DeleteDC(dc);
}

BitmapHandle QtWindowSystem::SelectObject(DcHandle dc, BitmapHandle bitmap) {
    return m_drawing.SelectObject(dc, bitmap);
}

bool QtWindowSystem::BitBlt(DcHandle dest, int x, int y, int cx, int cy, DcHandle source, int sx,
                            int sy, std::uint32_t rop) {
    return m_drawing.BitBlt(dest, x, y, cx, cy, source, sx, sy, rop);
}

bool QtWindowSystem::StretchBlt(DcHandle dest, int x, int y, int cx, int cy, DcHandle source,
                                int sx, int sy, int scx, int scy, std::uint32_t rop) {
    return m_drawing.StretchBlt(dest, x, y, cx, cy, source, sx, sy, scx, scy, rop);
}

bool QtWindowSystem::DrawIcon(DcHandle dc, int x, int y, IconHandle icon) {
    return m_drawing.DrawIcon(dc, x, y, icon);
}

// --- The notification area ---

bool QtWindowSystem::ShellNotifyIcon(std::uint32_t message, const NotifyIconData& data) {
    return m_notifyIcons.Apply(message, data);
}

}  // namespace quotamin
