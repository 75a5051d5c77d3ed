#pragma once
// The icons that a program has in the notification area, known by their
// window and id, and which actions the shell takes on them: it adds an icon it
// has not got, and modifies or deletes only one it has. A refused action
// changes nothing.

#include "platform/WindowsHeaderOrder.h"

#include <cstdint>
#include <vector>

#include "platform/NotifyIcon.h"

namespace quotamin {

class NotifyIconSet {
  public:
    // NIM_ADD, NIM_MODIFY or NIM_DELETE; true when the shell takes it.
    bool Apply(std::uint32_t message, const NotifyIconData& data);
    // The icon as the shell shows it now; null when it has not got it.
    const NotifyIconData* Find(WindowHandle window, std::uint32_t id) const;

  private:
    std::vector<NotifyIconData>::iterator Locate(WindowHandle window, std::uint32_t id);
    std::vector<NotifyIconData> m_icons;
};

}  // namespace quotamin
