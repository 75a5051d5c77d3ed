#pragma once
// The Windows user name of the session, which names the user's settings file.

#include <optional>
#include <string>

namespace quotamin {

// The name the system reports for the user running the program.
std::string SessionUserName();

// The name to use when the system reports `reported`: the name itself, or,
// when it could not be read, a name that no account can have (brackets are not
// allowed in user names), so that the settings never go to another user's file.
std::string UserNameOrStandIn(const std::optional<std::string>& reported);

inline constexpr const char* kUnknownUserName = "[unknown user]";

}  // namespace quotamin
