#pragma once
// Turns a dialog template of the resource table into the extended in-memory
// template (DLGTEMPLATEEX) that the Win32 dialog manager creates dialogs from.

#include <cstdint>
#include <vector>

#include "platform/Resources.h"

namespace quotamin {

// The template's 16-bit words, as the dialog manager expects them; text goes
// from the ANSI code page to UTF-16.
std::vector<std::uint16_t> BuildDialogTemplate(const DialogTemplate& dialog);

}  // namespace quotamin
