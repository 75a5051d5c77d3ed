#include "platform/qt/QtMenus.h"

#include <QtCore/QPointer>
#include <QtCore/QTimer>
#include <QtCore/QVariant>
#include <algorithm>

#include "platform/Messages.h"
#include "platform/qt/AnsiText.h"

namespace quotamin {

void FillMenu(QMenu& menu, const std::vector<MenuItem>& items,
              const std::function<void(std::uintptr_t)>& chosen) {
    menu.clear();
    for (const MenuItem& item : items) {
        if ((item.flags & MF_SEPARATOR) != 0) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(FromAnsi(item.text));
        action->setProperty(kCommandProperty,
                            QVariant::fromValue(static_cast<qulonglong>(item.id)));
        const std::uintptr_t id = item.id;
        QObject::connect(action, &QAction::triggered, &menu,
                         [menu = QPointer<QMenu>(&menu), chosen, id] {
                             QTimer::singleShot(0, menu.data(), [chosen, id] { chosen(id); });
                         });
    }
}

bool SystemCommandAvailable(std::uintptr_t id, bool iconic) {
    switch (id & 0xFFF0) {
        case SC_CLOSE:
            return true;
        case SC_RESTORE:
            return iconic;
        case SC_MOVE:
        case SC_SIZE:
        case SC_MINIMIZE:
        case SC_MAXIMIZE:
            return false;
        default:
            return true;
    }
}

std::vector<MenuItem> ProgramEntries(const std::vector<MenuItem>& menu, std::uint32_t windowStyle) {
    const std::vector<MenuItem> defaults = DefaultSystemMenu(windowStyle);
    if (menu.size() < defaults.size() ||
        !std::equal(defaults.begin(), defaults.end(), menu.begin())) {
        return {};
    }
    auto first = menu.begin() + static_cast<std::ptrdiff_t>(defaults.size());
    auto last = menu.end();
    while (first != last && (first->flags & MF_SEPARATOR) != 0) {
        ++first;
    }
    while (last != first && ((last - 1)->flags & MF_SEPARATOR) != 0) {
        --last;
    }
    return {first, last};
}

}  // namespace quotamin
