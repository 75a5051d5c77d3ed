#pragma once
// What entering and leaving a modal loop does to the windows around it, as the
// dialog manager does it for a dialog and for a message box alike: while the
// loop runs its owner is disabled (unless it already was), and the window of
// the loop is in front; when the loop ends the owner is enabled again and comes
// to the front in its place, and the focus goes back to where it was.

#include "platform/WindowsHeaderOrder.h"

#include "platform/Handles.h"

namespace quotamin {

// The windows of a window system as a modal loop sees them.
class ModalWindows {
  public:
    virtual bool Exists(WindowHandle window) const = 0;
    virtual bool IsEnabled(WindowHandle window) const = 0;
    virtual void Enable(WindowHandle window, bool enable) = 0;
    virtual WindowHandle Foreground() const = 0;
    virtual void SetForeground(WindowHandle window) = 0;
    virtual WindowHandle Focus() const = 0;
    virtual void SetFocus(WindowHandle window) = 0;

  protected:
    ~ModalWindows() = default;
};

class ModalScope {
  public:
    // Entered once `window` exists and before its loop runs; `owner` may be none.
    ModalScope(ModalWindows& windows, WindowHandle window, WindowHandle owner);
    // Left when the loop has ended, before the window is destroyed.
    ~ModalScope();
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

  private:
    ModalWindows& m_windows;
    WindowHandle m_window;
    WindowHandle m_owner;
    bool m_disabledOwner;
    WindowHandle m_focusBefore;
    WindowHandle m_foregroundBefore;
};

}  // namespace quotamin
