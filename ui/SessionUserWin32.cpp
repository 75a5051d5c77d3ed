#include <windows.h>

#include <vector>

#include "ui/SessionUser.h"

namespace quotamin {

namespace {

std::optional<std::string> ReportedUserName() {
    // Names of up to 199 characters fit the first buffer; a longer one is read
    // whole with the size the system asks for, never cut to another name.
    std::vector<char> buffer(201, '\0');
    DWORD size = 200;
    if (::GetUserNameA(buffer.data(), &size)) {
        return std::string(buffer.data());
    }
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0 || size > 0x10000) {
        return std::nullopt;
    }
    buffer.assign(size + 1, '\0');
    if (!::GetUserNameA(buffer.data(), &size)) {
        return std::nullopt;
    }
    return std::string(buffer.data());
}

}  // namespace

std::string SessionUserName() {
    return UserNameOrStandIn(ReportedUserName());
}

}  // namespace quotamin
