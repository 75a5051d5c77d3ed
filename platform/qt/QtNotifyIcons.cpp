#include "platform/qt/QtNotifyIcons.h"

#include <QtCore/QTimer>

#include "platform/Messages.h"
#include "platform/qt/AnsiText.h"
#include "platform/qt/QtMenus.h"

namespace quotamin {

bool QtNotifyIcons::Apply(std::uint32_t message, const NotifyIconData& data) {
    if (!m_set.Apply(message, data)) {
        return false;
    }
    const Key key{data.hWnd, data.uID};
    if (message == NIM_DELETE) {
        m_shown.erase(key);
    } else if (const NotifyIconData* now = m_set.Find(data.hWnd, data.uID)) {
        Show(*now);
    }
    return true;
}

void QtNotifyIcons::Show(const NotifyIconData& data) {
    TrayIcon& shown = m_shown[{data.hWnd, data.uID}];
    if (!shown.icon) {
        shown.menu = std::make_unique<QMenu>();
        shown.icon = std::make_unique<QSystemTrayIcon>();
        const WindowHandle window = data.hWnd;
        const std::uint32_t id = data.uID;
        QObject::connect(shown.icon.get(), &QSystemTrayIcon::activated,
                         [this, window, id](QSystemTrayIcon::ActivationReason reason) {
                             const NotifyIconData* icon = m_set.Find(window, id);
                             if (icon == nullptr) {
                                 return;
                             }
                             if (reason == QSystemTrayIcon::Trigger) {
                                 m_host.notify(*icon, WM_LBUTTONDOWN);
                             } else if (reason == QSystemTrayIcon::DoubleClick) {
                                 m_host.notify(*icon, WM_LBUTTONDBLCLK);
                             }
                         });
        QObject::connect(shown.menu.get(), &QMenu::aboutToShow,
                         [this, window, menu = shown.menu.get()] {
                             const bool enabled = m_host.menuEnabled(window);
                             for (QAction* action : menu->actions()) {
                                 action->setEnabled(enabled);
                             }
                         });
    }
    const std::vector<MenuItem> entries = m_host.menu(data.hWnd);
    FillMenu(*shown.menu, entries, [this, window = data.hWnd](std::uintptr_t command) {
        m_host.command(window, command);
    });
    shown.icon->setContextMenu(entries.empty() ? nullptr : shown.menu.get());
    if ((data.uFlags & NIF_ICON) != 0) {
        shown.icon->setIcon(m_host.icon(data.hIcon));
    }
    if ((data.uFlags & NIF_TIP) != 0) {
        shown.icon->setToolTip(FromAnsi(data.szTip));
    }
    shown.icon->show();
}

std::vector<const QSystemTrayIcon*> QtNotifyIcons::Shown() const {
    std::vector<const QSystemTrayIcon*> icons;
    for (const auto& [key, shown] : m_shown) {
        icons.push_back(shown.icon.get());
    }
    return icons;
}

void QtNotifyIcons::ClickAll() {
    std::vector<NotifyIconData> icons;
    for (const auto& [key, shown] : m_shown) {
        if (const NotifyIconData* icon = m_set.Find(key.first, key.second)) {
            icons.push_back(*icon);
        }
    }
    for (const NotifyIconData& icon : icons) {
        m_host.notify(icon, WM_LBUTTONDOWN);
    }
}

}  // namespace quotamin
