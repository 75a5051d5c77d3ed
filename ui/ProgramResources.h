#pragma once
// The program's resource table: the four dialog templates, the strings, and
// the sizes of its bitmap and icon, from which both window systems are built.

#include "platform/Resources.h"

namespace quotamin {

ResourceTable ProgramResources();

}  // namespace quotamin
