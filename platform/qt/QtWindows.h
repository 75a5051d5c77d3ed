#pragma once
// The windows of the Qt window system and their handles: dialogs with their
// controls, and message boxes; which window is in front and which has the
// keyboard focus; the stack of modal windows open (innermost last). Each
// window's widget carries its handle in the property kWindowProperty, so that
// a widget leads back to its window.

#include "platform/WindowsHeaderOrder.h"

#include <QtCore/QPointer>
#include <QtWidgets/QWidget>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "platform/DefaultSystemMenu.h"
#include "platform/DialogControl.h"
#include "platform/ModalScope.h"
#include "platform/WindowSystem.h"

class QEventLoop;

namespace quotamin {

inline constexpr const char* kWindowProperty = "quotaminWindow";
// A control's id, on its widget.
inline constexpr const char* kControlIdProperty = "quotaminControlId";

struct QtWindow {
    enum class Kind { Dialog, MessageBox, Control };
    Kind kind = Kind::Dialog;
    QPointer<QWidget> widget;

    // Dialogs and message boxes.
    WindowHandle owner{};
    bool ended = false;
    std::intptr_t result = 0;
    QEventLoop* loop = nullptr;

    // Dialogs.
    DialogHost* host = nullptr;
    int templateId = 0;
    std::uint32_t style = 0;
    std::vector<DialogControl> controls;  // template order
    std::vector<MenuItem> systemMenu;
    bool topmost = false;
    IconHandle bigIcon{}, smallIcon{};

    // Controls: their dialog and their place among its controls.
    WindowHandle dialog{};
    std::size_t index = 0;
};

class QtWindows final : public ModalWindows {
  public:
    WindowHandle Add(QtWindow window);
    // Forgets the window (a dialog with its controls); deleting its widget is the caller's.
    void Remove(WindowHandle window);

    QtWindow* Find(WindowHandle window);
    const QtWindow* Find(WindowHandle window) const;
    QWidget* Widget(WindowHandle window) const;
    // The window of a widget, or of the nearest of its parents that has one.
    WindowHandle HandleOf(const QWidget* widget) const;
    // A control's state as the dialog manager's rules see it.
    DialogControl* Control(WindowHandle control);

    void PushModal(WindowHandle window) { m_modal.push_back(window); }
    // The innermost modal window, which a new dialog belongs to; none when none is open.
    WindowHandle Innermost() const;

    // ModalWindows. A control counts as a window of its own.
    bool Exists(WindowHandle window) const override { return Find(window) != nullptr; }
    bool IsEnabled(WindowHandle window) const override;
    void Enable(WindowHandle window, bool enable) override;
    WindowHandle Foreground() const override { return m_foreground; }
    // Raises and activates the window; the window manager may take a moment.
    void SetForeground(WindowHandle window) override;
    WindowHandle Focus() const override;
    // Focusing a dialog focuses the control that had the focus in it last,
    // or its first tab stop, as the dialog manager does.
    void SetFocus(WindowHandle window) override;

    // What the window system hears of the focus moving between windows: the
    // user's clicks and the window manager's doing.
    void ActivatedByUser(WindowHandle window) { m_foreground = window; }
    void ForgetForeground(WindowHandle window);

  private:
    std::uintptr_t m_nextHandle = 0x100;
    std::map<WindowHandle, QtWindow> m_windows;
    std::vector<WindowHandle> m_modal;
    WindowHandle m_foreground{};
};

}  // namespace quotamin
