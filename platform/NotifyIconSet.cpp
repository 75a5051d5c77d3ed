#include "platform/NotifyIconSet.h"

#include <algorithm>
#include <cstring>

namespace quotamin {

std::vector<NotifyIconData>::iterator NotifyIconSet::Locate(WindowHandle window, std::uint32_t id) {
    return std::find_if(m_icons.begin(), m_icons.end(), [&](const NotifyIconData& icon) {
        return icon.hWnd == window && icon.uID == id;
    });
}

const NotifyIconData* NotifyIconSet::Find(WindowHandle window, std::uint32_t id) const {
    for (const NotifyIconData& icon : m_icons) {
        if (icon.hWnd == window && icon.uID == id) {
            return &icon;
        }
    }
    return nullptr;
}

bool NotifyIconSet::Apply(std::uint32_t message, const NotifyIconData& data) {
    const auto icon = Locate(data.hWnd, data.uID);
    const bool known = icon != m_icons.end();
    switch (message) {
        case NIM_ADD:
            if (known) {
                return false;
            }
            m_icons.push_back(data);
            return true;
        case NIM_MODIFY:
            if (!known) {
                return false;
            }
            // Only the fields that the record marks as valid change.
            if ((data.uFlags & NIF_MESSAGE) != 0) {
                icon->uCallbackMessage = data.uCallbackMessage;
            }
            if ((data.uFlags & NIF_ICON) != 0) {
                icon->hIcon = data.hIcon;
            }
            if ((data.uFlags & NIF_TIP) != 0) {
                std::memcpy(icon->szTip, data.szTip, sizeof icon->szTip);
            }
            return true;
        case NIM_DELETE:
            if (!known) {
                return false;
            }
            m_icons.erase(icon);
            return true;
        default:
            return false;
    }
}

}  // namespace quotamin
