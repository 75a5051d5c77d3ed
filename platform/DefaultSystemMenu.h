#pragma once
// The system menu (window menu) that a window starts with, before it appends
// entries of its own, and that GetSystemMenu with revert brings back.

#include <cstdint>
#include <string>
#include <vector>

namespace quotamin {

struct MenuItem {
    std::uint32_t flags = 0;  // MF_STRING or MF_SEPARATOR
    std::uintptr_t id = 0;    // the WM_SYSCOMMAND it sends; 0 for a separator
    std::string text;
    bool operator==(const MenuItem&) const = default;
};

// Empty for a window without WS_SYSMENU.
std::vector<MenuItem> DefaultSystemMenu(std::uint32_t windowStyle);

}  // namespace quotamin
