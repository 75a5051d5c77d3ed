// Must not compile: <windows.h> before a header of the windowing layer. The
// test platform_include_order builds it and expects the layer's message.

#ifdef _WIN32
#include <windows.h>
#else
// What <windows.h> does to a name that the layer shares with it.
#define MessageBox MessageBoxA
#endif

#include "platform/Dialog.h"
