#pragma once
// The main window's status texts, as the user reads them.

#include <string>

namespace quotamin::testing {

inline const std::string kGraceStatus =
    "\r\nSorry, no more time left - you have a one-minute grace period during which the "
    "administrator can login and change the settings.";
inline const std::string kEndStatus = "\r\nSorry, no more time left - logging off right now";
inline const std::string kDisabledStatus = "\r\nQuota-min is disabled.";

inline std::string OrdinaryStatus(int minutes) {
    return "\r\nYou still have " + std::to_string(minutes) +
           " minutes remaining before you will be logged off";
}
inline std::string PanicStatus(int minutes) {
    return "\r\nPANIC!!! You have only " + std::to_string(minutes) +
           " minutes remaining - please log off now";
}
inline std::string WarningStatus(int minutes) {
    return "\r\nWARNING!!! You have just " + std::to_string(minutes) +
           " minutes remaining before you will be logged off";
}

}  // namespace quotamin::testing
