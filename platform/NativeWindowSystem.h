#pragma once
// The window system of the machine the program runs on (Win32 on Windows, Qt 6
// on the Linux desktop).

#include <memory>

#include "platform/Resources.h"
#include "platform/WindowSystem.h"

namespace quotamin {

// Win32 takes everything from the program file's own resources, where the
// build has put the dialog templates of the same table; a window system
// without a resource module takes the templates from `resources`.
std::unique_ptr<WindowSystem> MakeNativeWindowSystem(const ResourceTable& resources);

// Claims the desktop session for this start of the program, on the window
// system MakeNativeWindowSystem made. On the Linux desktop one copy rations a
// session: a later start has the copy that runs show its window, as a click on
// its icon does, and gets false, so that it ends without touching the user's
// minutes. On Windows every start runs on its own: always true.
bool ClaimSession(WindowSystem& windowSystem);

}  // namespace quotamin
