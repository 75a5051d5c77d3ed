#pragma once
// The one conversion between the system's handles, which are pointers
// (HWND, HANDLE, HICON, ...), and the program's handles, which are numbers of
// the pointer's width (enums over std::uintptr_t): the bits are kept as they
// are both ways.

#include <cstdint>
#include <type_traits>

namespace quotamin {

template <typename To, typename From>
To HandleCast(From value) {
    static_assert(std::is_pointer_v<From> != std::is_pointer_v<To>,
                  "a handle is cast between a pointer and a number");
    if constexpr (std::is_pointer_v<From>) {
        return static_cast<To>(reinterpret_cast<std::uintptr_t>(value));
    } else {
        return reinterpret_cast<To>(static_cast<std::uintptr_t>(value));
    }
}

}  // namespace quotamin
