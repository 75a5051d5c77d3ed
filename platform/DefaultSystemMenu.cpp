#include "platform/DefaultSystemMenu.h"

#include "platform/Messages.h"
#include "platform/Styles.h"

namespace quotamin {

std::vector<MenuItem> DefaultSystemMenu(std::uint32_t windowStyle) {
    if ((windowStyle & WS_SYSMENU) == 0) {
        return {};
    }
    return {{MF_STRING, SC_MOVE, "&Move"}, {MF_STRING, SC_CLOSE, "&Close"}};
}

}  // namespace quotamin
