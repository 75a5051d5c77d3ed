#pragma once
// Owners of Win32 handles (see UniqueHandle.h), for Win32 implementation
// files and Windows tests only: it includes <windows.h>, so it comes after
// every header of the windowing layer (platform/WindowsHeaderOrder.h).

#include <windows.h>

#include "os/UniqueHandle.h"

namespace quotamin {

// The handles that are none when null, each given back by its own call.
template <typename Handle, auto close>
struct NullIsNoneKind {
    using Value = Handle;
    static Value None() { return nullptr; }
    void Close(Value handle) const { close(handle); }
};

// Processes, threads, tokens, events.
using UniqueKernelObject = UniqueHandle<NullIsNoneKind<HANDLE, ::CloseHandle>>;
using UniqueWindow = UniqueHandle<NullIsNoneKind<HWND, ::DestroyWindow>>;
// A module loaded with LoadLibrary(Ex).
using UniqueModule = UniqueHandle<NullIsNoneKind<HMODULE, ::FreeLibrary>>;
// A device context of CreateCompatibleDC.
using UniqueMemoryDc = UniqueHandle<NullIsNoneKind<HDC, ::DeleteDC>>;
// An icon of LoadImage or CreateIcon (not one of LoadIcon, which is shared).
using UniqueIcon = UniqueHandle<NullIsNoneKind<HICON, ::DestroyIcon>>;
// A bitmap, brush, pen or font, of its own type.
template <typename Object>
using UniqueGdiObject = UniqueHandle<NullIsNoneKind<Object, ::DeleteObject>>;

// What CreateFile opens; INVALID_HANDLE_VALUE is none.
struct Win32FileKind {
    using Value = HANDLE;
    static Value None() { return INVALID_HANDLE_VALUE; }
    void Close(Value file) const { ::CloseHandle(file); }
};
using UniqueFileHandle = UniqueHandle<Win32FileKind>;

// A device context of GetDC, given back to its window (null: the screen).
struct WindowDcKind {
    using Value = HDC;
    static Value None() { return nullptr; }
    void Close(Value dc) const { ::ReleaseDC(window, dc); }
    HWND window = nullptr;
};
using UniqueWindowDc = UniqueHandle<WindowDcKind>;

}  // namespace quotamin
