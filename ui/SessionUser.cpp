#include "ui/SessionUser.h"

namespace quotamin {

std::string UserNameOrStandIn(const std::optional<std::string>& reported) {
    if (!reported || reported->empty()) {
        return kUnknownUserName;
    }
    return *reported;
}

}  // namespace quotamin
