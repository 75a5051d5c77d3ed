#pragma once
// For the Win32 backend's own files and the Windows tests: <windows.h>, with
// the owners of its handles (os/Win32Handles.h), included after the layer's
// headers so that its macros of the same names (LoadIcon, MessageBox,
// SendMessage, ...) do not rename the layer's members, and with those macros
// taken back, so that the layer's members can be called after it. A file
// includes it after every header of the layer; a header of the layer that
// comes later stops the build (platform/WindowsHeaderOrder.h).

#include "os/HandleCast.h"
#include "platform/Messages.h"
#include "platform/Styles.h"
#include "platform/WindowSystem.h"

#include "os/Win32Handles.h"
// After windows.h, which it builds on.
#include <shellapi.h>

#undef AppendMenu
#undef DrawText
#undef GetObject
#undef GetWindowText
#undef LoadBitmap
#undef LoadIcon
#undef LoadString
#undef MessageBox
#undef SendMessage
#undef SetWindowText

namespace quotamin {

// A window of the layer is the system's window, under the layer's handle type.
inline HWND ToHwnd(WindowHandle window) {
    return HandleCast<HWND>(window);
}
inline WindowHandle ToWindowHandle(HWND window) {
    return HandleCast<WindowHandle>(window);
}

// The window property that holds the DialogHost of each of the layer's dialog
// windows; a top-level window of the program without it is a message box.
inline constexpr const char* kDialogHostProperty = "Quotamin.DialogHost";

}  // namespace quotamin
