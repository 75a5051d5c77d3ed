#pragma once
// Window messages, commands and the values that go with them, under their Win32
// names and with their Win32 numbers, so that dialog code reads like Win32 code
// whichever window system is underneath.

#include "platform/WindowsHeaderOrder.h"

#include <cstdint>

namespace quotamin {

using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;

// Messages.
inline constexpr std::uint32_t WM_DESTROY = 0x0002;
inline constexpr std::uint32_t WM_SETTEXT = 0x000C;
inline constexpr std::uint32_t WM_GETTEXT = 0x000D;
inline constexpr std::uint32_t WM_PAINT = 0x000F;
inline constexpr std::uint32_t WM_CLOSE = 0x0010;
inline constexpr std::uint32_t WM_ERASEBKGND = 0x0014;
inline constexpr std::uint32_t WM_ICONERASEBKGND = 0x0027;
inline constexpr std::uint32_t WM_QUERYDRAGICON = 0x0037;
inline constexpr std::uint32_t WM_SETICON = 0x0080;
inline constexpr std::uint32_t WM_NCDESTROY = 0x0082;
inline constexpr std::uint32_t WM_INITDIALOG = 0x0110;
inline constexpr std::uint32_t WM_COMMAND = 0x0111;
inline constexpr std::uint32_t WM_KEYDOWN = 0x0100;
inline constexpr std::uint32_t WM_CHAR = 0x0102;
inline constexpr std::uint32_t WM_SYSCOMMAND = 0x0112;
inline constexpr std::uint32_t WM_TIMER = 0x0113;
inline constexpr std::uint32_t WM_MOUSEMOVE = 0x0200;
inline constexpr std::uint32_t WM_LBUTTONDOWN = 0x0201;
inline constexpr std::uint32_t WM_LBUTTONUP = 0x0202;
inline constexpr std::uint32_t WM_LBUTTONDBLCLK = 0x0203;
inline constexpr std::uint32_t WM_RBUTTONDOWN = 0x0204;
inline constexpr std::uint32_t WM_USER = 0x0400;

// Button messages and states.
inline constexpr std::uint32_t BM_GETCHECK = 0x00F0;
inline constexpr std::uint32_t BM_SETCHECK = 0x00F1;
inline constexpr std::uint32_t BM_CLICK = 0x00F5;
inline constexpr int BST_UNCHECKED = 0;
inline constexpr int BST_CHECKED = 1;
inline constexpr std::uint16_t BN_CLICKED = 0;

// Dialog end codes and the commands of OK and Cancel.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

// System commands (WM_SYSCOMMAND's first parameter).
inline constexpr std::uint32_t SC_SIZE = 0xF000;
inline constexpr std::uint32_t SC_MOVE = 0xF010;
inline constexpr std::uint32_t SC_MINIMIZE = 0xF020;
inline constexpr std::uint32_t SC_MAXIMIZE = 0xF030;
inline constexpr std::uint32_t SC_CLOSE = 0xF060;
inline constexpr std::uint32_t SC_RESTORE = 0xF120;

// Keys (WM_KEYDOWN's first parameter).
inline constexpr WParam VK_TAB = 0x09;
inline constexpr WParam VK_RETURN = 0x0D;
inline constexpr WParam VK_ESCAPE = 0x1B;

// WM_SETICON's first parameter.
inline constexpr WParam ICON_SMALL = 0;
inline constexpr WParam ICON_BIG = 1;

// ShowWindow.
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_MINIMIZE = 6;

// SetWindowPos.
inline constexpr std::uint32_t SWP_NOSIZE = 0x0001;
inline constexpr std::uint32_t SWP_NOMOVE = 0x0002;

// AppendMenu.
inline constexpr std::uint32_t MF_STRING = 0x0000;
inline constexpr std::uint32_t MF_SEPARATOR = 0x0800;

// GetSystemMetrics.
inline constexpr int SM_CXICON = 11;
inline constexpr int SM_CYICON = 12;

// MessageBox: the program uses one OK button and no icon.
inline constexpr std::uint32_t MB_OK = 0x0000;

// Raster operation of BitBlt and StretchBlt: copy the source as it is.
inline constexpr std::uint32_t SRCCOPY = 0x00CC0020;

constexpr std::uint16_t LOWORD(std::uintptr_t value) {
    return static_cast<std::uint16_t>(value);
}
constexpr std::uint16_t HIWORD(std::uintptr_t value) {
    return static_cast<std::uint16_t>(value >> 16);
}
constexpr WParam MAKEWPARAM(std::uint16_t low, std::uint16_t high) {
    return static_cast<WParam>(low) | (static_cast<WParam>(high) << 16);
}

}  // namespace quotamin
