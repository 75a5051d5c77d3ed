#pragma once
// Opaque handles of the window system's objects. Each is a number that only the
// window system that handed it out can interpret; zero is "none". Being distinct
// enum types, a window can't be passed where an icon is expected.

#include "platform/WindowsHeaderOrder.h"

#include <cstdint>

namespace quotamin {

enum class WindowHandle : std::uintptr_t {};
enum class IconHandle : std::uintptr_t {};
enum class MenuHandle : std::uintptr_t {};
enum class BitmapHandle : std::uintptr_t {};
enum class DcHandle : std::uintptr_t {};

// Stands for "put this window above all non-topmost windows" in SetWindowPos.
inline constexpr WindowHandle HWND_TOPMOST = static_cast<WindowHandle>(~std::uintptr_t{0});
// And "put it back among the non-topmost windows".
inline constexpr WindowHandle HWND_NOTOPMOST = static_cast<WindowHandle>(~std::uintptr_t{1});

}  // namespace quotamin
