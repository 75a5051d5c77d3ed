#pragma once
// The program's resources as plain data: dialog templates, strings, and what a
// window system without a resource module needs to know of bitmaps and icons.
// Every window system is built from one such table. For Win32 the build
// writes the table's dialog templates into the program file's resource script
// (platform/win32/DialogScript.h), and the window system takes them, and the
// rest, from the program file.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace quotamin {

enum class ControlKind { Button, Edit, Static };

struct ControlTemplate {
    int id = -1;  // -1: no id of its own (a static, a group box)
    ControlKind kind = ControlKind::Static;
    std::string text;
    int iconResource = 0;     // an SS_ICON static shows this icon instead of text
    std::uint32_t style = 0;  // besides WS_CHILD and WS_VISIBLE, which every control has
    std::uint32_t exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
};

struct DialogTemplate {
    int id = 0;
    std::uint16_t language = 0;  // Windows language id, e.g. 0x0409
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
    std::string title;
    std::string fontName;
    int pointSize = 0;
    std::vector<ControlTemplate> controls;  // template order, which is the tab order
};

struct BitmapResource {
    int id = 0;
    int width = 0, height = 0;
};

struct ResourceTable {
    std::vector<DialogTemplate> dialogs;
    std::map<int, std::string> strings;
    std::vector<BitmapResource> bitmaps;
    std::vector<int> icons;

    const DialogTemplate* FindDialog(int id) const;
    const BitmapResource* FindBitmap(int id) const;
    bool HasIcon(int id) const;
};

// The application name: the program file's name without directory and extension.
std::string ApplicationNameFromPath(const std::string& programPath);

}  // namespace quotamin
