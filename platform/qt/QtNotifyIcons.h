#pragma once
// The program's icons in the notification area, as QSystemTrayIcon shows
// them (a StatusNotifierItem where the desktop offers one, the older tray
// otherwise). Which actions are taken follows the layer's rules
// (NotifyIconSet); an icon is added even while no notification area is
// there, and shows once one appears, since a desktop session starts its
// panel and its programs in no set order. A click on an icon reaches its
// window as the icon's callback message with WM_LBUTTONDOWN; the icon's menu
// holds the entries the program added to its window's system menu.

#include "platform/WindowsHeaderOrder.h"

#include <QtGui/QIcon>
#include <QtWidgets/QMenu>
#include <QtWidgets/QSystemTrayIcon>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "platform/DefaultSystemMenu.h"
#include "platform/NotifyIconSet.h"

namespace quotamin {

class QtNotifyIcons {
  public:
    // What the icons need of the window system.
    struct Host {
        std::function<QIcon(IconHandle)> icon;
        // The icon's callback message, sent to its window.
        std::function<void(const NotifyIconData&, std::uint32_t mouseMessage)> notify;
        // The entries of the icon's menu, and whether they can be chosen now.
        std::function<std::vector<MenuItem>(WindowHandle)> menu;
        std::function<bool(WindowHandle)> menuEnabled;
        std::function<void(WindowHandle, std::uintptr_t)> command;
    };
    explicit QtNotifyIcons(Host host) : m_host(std::move(host)) {}

    bool Apply(std::uint32_t message, const NotifyIconData& data);
    const NotifyIconSet& Icons() const { return m_set; }
    // The icons as Qt shows them, for each window and id.
    std::vector<const QSystemTrayIcon*> Shown() const;
    // What a click on every icon does.
    void ClickAll();

  private:
    using Key = std::pair<WindowHandle, std::uint32_t>;
    struct TrayIcon {
        std::unique_ptr<QMenu> menu;
        std::unique_ptr<QSystemTrayIcon> icon;
    };
    void Show(const NotifyIconData& data);

    Host m_host;
    NotifyIconSet m_set;
    std::map<Key, TrayIcon> m_shown;
};

}  // namespace quotamin
