#pragma once
// Reads the dialog templates among the resources of a Windows module and
// compares them with a resource table, control by control.

#include <string>
#include <vector>

#include "platform/Resources.h"

namespace quotamin::testing {

// What differs between the dialog resources of the module at `modulePath`
// (this program's own module when it is empty) and the dialogs of `table`,
// one line each; nothing when they agree. Each dialog of the table must be
// there once, in the table's language, and the module must hold no other.
std::vector<std::string> DialogResourceDifferences(const ResourceTable& table,
                                                   const std::string& modulePath = "");

}  // namespace quotamin::testing
