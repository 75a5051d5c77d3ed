#pragma once
// Owners of Win32 handles (see UniqueHandle.h), for Win32 implementation
// files and Windows tests only: it includes <windows.h>, so it comes after
// every header of the windowing layer (platform/WindowsHeaderOrder.h).

#include <windows.h>

#include "os/UniqueHandle.h"

namespace quotamin {

// What CreateFile opens; INVALID_HANDLE_VALUE is none.
struct Win32FileKind {
    using Value = HANDLE;
    static Value None() { return INVALID_HANDLE_VALUE; }
    void Close(Value file) const { ::CloseHandle(file); }
};
using UniqueFileHandle = UniqueHandle<Win32FileKind>;

// Processes, threads, tokens, events: null is none.
struct KernelObjectKind {
    using Value = HANDLE;
    static Value None() { return nullptr; }
    void Close(Value object) const { ::CloseHandle(object); }
};
using UniqueKernelObject = UniqueHandle<KernelObjectKind>;

struct WindowKind {
    using Value = HWND;
    static Value None() { return nullptr; }
    void Close(Value window) const { ::DestroyWindow(window); }
};
using UniqueWindow = UniqueHandle<WindowKind>;

// A module loaded with LoadLibrary(Ex).
struct ModuleKind {
    using Value = HMODULE;
    static Value None() { return nullptr; }
    void Close(Value module) const { ::FreeLibrary(module); }
};
using UniqueModule = UniqueHandle<ModuleKind>;

// A device context of CreateCompatibleDC.
struct MemoryDcKind {
    using Value = HDC;
    static Value None() { return nullptr; }
    void Close(Value dc) const { ::DeleteDC(dc); }
};
using UniqueMemoryDc = UniqueHandle<MemoryDcKind>;

// A device context of GetDC, given back to its window (null: the screen).
struct WindowDcKind {
    using Value = HDC;
    static Value None() { return nullptr; }
    void Close(Value dc) const { ::ReleaseDC(window, dc); }
    HWND window = nullptr;
};
using UniqueWindowDc = UniqueHandle<WindowDcKind>;

// A bitmap, brush, pen or font, of its own type.
template <typename Object>
struct GdiObjectKind {
    using Value = Object;
    static Value None() { return nullptr; }
    void Close(Value object) const { ::DeleteObject(object); }
};
template <typename Object>
using UniqueGdiObject = UniqueHandle<GdiObjectKind<Object>>;

}  // namespace quotamin
