#include "platform/DefaultSystemMenu.h"

#include "platform/Messages.h"
#include "platform/Styles.h"

namespace quotamin {

std::vector<MenuItem> DefaultSystemMenu(std::uint32_t windowStyle) {
    if ((windowStyle & WS_SYSMENU) == 0) {
        return {};
    }
    // Every entry is there whatever the style; the ones that do not apply are
    // greyed when the menu opens.
    return {
        {MF_STRING, SC_RESTORE, "&Restore"},     {MF_STRING, SC_MOVE, "&Move"},
        {MF_STRING, SC_SIZE, "&Size"},           {MF_STRING, SC_MINIMIZE, "Mi&nimize"},
        {MF_STRING, SC_MAXIMIZE, "Ma&ximize"},   {MF_SEPARATOR, 0, ""},
        {MF_STRING, SC_CLOSE, "&Close\tAlt+F4"},
    };
}

}  // namespace quotamin
