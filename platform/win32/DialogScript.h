#pragma once
// The dialog templates of a resource table as the DIALOGEX statements of a
// resource script, each in its language, for the resource compiler to put
// into a program file. The build writes them with a small program of its own
// on the build machine, so this needs nothing of Windows.

#include <string>

#include "platform/Resources.h"

namespace quotamin {

// The script's code page, which is the one of the table's texts.
inline constexpr int kDialogScriptCodePage = 1252;

// Throws std::invalid_argument for a text a script cannot carry (one with a
// control character).
std::string DialogScript(const ResourceTable& table);

// The build's writer: `program <script.rc>` writes DialogScript(table) to the
// file named. Returns the program's exit code.
int WriteDialogScript(int argc, char** argv, const ResourceTable& table);

}  // namespace quotamin
