// Deliberately without include guard: the check runs wherever it is included.
//
// The layer's headers use Win32's own names (MessageBox, LoadString,
// SendMessage, GetObject, the WM_, BS_ and SW_ constants, ...), so that dialog
// code reads like Win32 code. <windows.h> defines those names as macros, which
// would quietly rename the layer's functions and replace its constants; so it
// must come after every header of the layer (platform/win32/Win32.h, which
// backend code includes last, does it in that order).

#if defined(_WINDOWS_) || defined(_INC_WINDOWS) || defined(WM_DESTROY) || defined(MessageBox)
#error \
    "<windows.h> was included before a header of the windowing layer: include the layer's headers (platform/...) first and <windows.h> (or platform/win32/Win32.h) last, or its macros rename the layer's MessageBox, LoadString, SendMessage, ..."
#endif
