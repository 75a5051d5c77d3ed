#include "platform/Resources.h"

#include <algorithm>

namespace quotamin {

const DialogTemplate* ResourceTable::FindDialog(int id) const {
    auto found = std::find_if(dialogs.begin(), dialogs.end(),
                              [id](const DialogTemplate& d) { return d.id == id; });
    return found == dialogs.end() ? nullptr : &*found;
}

const BitmapResource* ResourceTable::FindBitmap(int id) const {
    auto found = std::find_if(bitmaps.begin(), bitmaps.end(),
                              [id](const BitmapResource& b) { return b.id == id; });
    return found == bitmaps.end() ? nullptr : &*found;
}

bool ResourceTable::HasIcon(int id) const {
    return std::find(icons.begin(), icons.end(), id) != icons.end();
}

std::string ApplicationNameFromPath(const std::string& programPath) {
    std::string::size_type start = programPath.find_last_of("\\/:");
    std::string name = programPath.substr(start == std::string::npos ? 0 : start + 1);
    std::string::size_type dot = name.find_last_of('.');
    if (dot != std::string::npos && dot != 0) {
        name.erase(dot);
    }
    return name;
}

}  // namespace quotamin
