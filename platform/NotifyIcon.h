#pragma once
// The record that describes the program's icon in the notification area of the
// task bar, and the shell actions on it. WindowSystem::ShellNotifyIcon hands it
// to the shell; the layout follows the shell's first, 88-byte form of the record
// (no balloon fields), but the window system fills the real one.

#include "platform/WindowsHeaderOrder.h"

#include <cstdint>

#include "platform/Handles.h"

namespace quotamin {

struct NotifyIconData {
    std::uint32_t cbSize = 0;
    WindowHandle hWnd{};
    std::uint32_t uID = 0;
    std::uint32_t uFlags = 0;
    std::uint32_t uCallbackMessage = 0;
    IconHandle hIcon{};
    char szTip[64] = {};
};

// Shell actions.
inline constexpr std::uint32_t NIM_ADD = 0;
inline constexpr std::uint32_t NIM_MODIFY = 1;
inline constexpr std::uint32_t NIM_DELETE = 2;

// Which fields of NotifyIconData are valid.
inline constexpr std::uint32_t NIF_MESSAGE = 0x1;
inline constexpr std::uint32_t NIF_ICON = 0x2;
inline constexpr std::uint32_t NIF_TIP = 0x4;

}  // namespace quotamin
