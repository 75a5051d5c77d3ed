#pragma once
// The window system underneath the program's dialogs: one interface, one
// implementation per backend (Win32, and a headless one for tests). Only the
// layer's own classes (Dialog, the controls, the drawing context) and the
// session code call it; dialog code goes through those classes.

#include <cstdint>

#include "platform/Handles.h"
#include "platform/NotifyIcon.h"

namespace quotamin {

class WindowSystem {
  public:
    virtual ~WindowSystem() = default;

    // Resources of the program's own module.
    virtual IconHandle LoadIcon(int resourceId) = 0;

    // Adds, modifies or deletes the program's notification-area icon; true when
    // the shell accepted the action.
    virtual bool ShellNotifyIcon(std::uint32_t message, const NotifyIconData& data) = 0;
};

}  // namespace quotamin
