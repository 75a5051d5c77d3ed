#pragma once
// The window system of the machine the program runs on (Win32 on Windows).

#include <memory>

#include "platform/Resources.h"
#include "platform/WindowSystem.h"

namespace quotamin {

// Win32 takes everything from the program file's own resources, where the
// build has put the dialog templates of the same table; a window system
// without a resource module takes the templates from `resources`.
std::unique_ptr<WindowSystem> MakeNativeWindowSystem(const ResourceTable& resources);

}  // namespace quotamin
