#pragma once
// The window system of the machine the program runs on (Win32 on Windows).

#include <memory>

#include "platform/Resources.h"
#include "platform/WindowSystem.h"

namespace quotamin {

// The dialog templates come from `resources`; icons, bitmaps and strings from the
// program file's own resources.
std::unique_ptr<WindowSystem> MakeNativeWindowSystem(const ResourceTable& resources);

}  // namespace quotamin
