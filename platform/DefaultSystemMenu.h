#pragma once
// The system menu (window menu) that a dialog starts with, before the dialog
// appends entries of its own.

#include <cstdint>
#include <string>
#include <vector>

namespace quotamin {

struct MenuItem {
    std::uint32_t flags = 0;  // MF_STRING or MF_SEPARATOR
    std::uintptr_t id = 0;    // the WM_SYSCOMMAND it sends; 0 for a separator
    std::string text;
};

// Empty for a window without WS_SYSMENU.
std::vector<MenuItem> DefaultSystemMenu(std::uint32_t windowStyle);

}  // namespace quotamin
