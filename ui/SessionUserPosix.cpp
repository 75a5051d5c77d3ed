#include <pwd.h>
#include <unistd.h>

#include "ui/SessionUser.h"

namespace quotamin {

std::string SessionUserName() {
    const passwd* account = ::getpwuid(::geteuid());
    return UserNameOrStandIn(
        account && account->pw_name ? std::optional<std::string>(account->pw_name) : std::nullopt);
}

}  // namespace quotamin
