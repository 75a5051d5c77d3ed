#pragma once
// The owner of one handle of the system: it gives the handle back when it
// goes out of scope, is moved but never copied, and tells an empty one by the
// kind's own "none" value (INVALID_HANDLE_VALUE for a Win32 file, -1 for a
// file descriptor, null for most others).
//
// A kind says what its handles are and how one is given back:
//   struct Kind {
//       using Value = ...;
//       static Value None();
//       void Close(Value value) const;  // never called with None()
//   };
// A kind may carry state, such as the window whose device context it releases.

#include <utility>

namespace quotamin {

template <typename Kind>
class UniqueHandle {
  public:
    using Value = typename Kind::Value;

    UniqueHandle() = default;
    explicit UniqueHandle(Value value, Kind kind = Kind{}) : m_value(value), m_kind(kind) {}
    UniqueHandle(UniqueHandle&& other) noexcept
        : m_value(other.Release()), m_kind(std::move(other.m_kind)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            Reset(other.Release());
            m_kind = std::move(other.m_kind);
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { Reset(); }

    Value Get() const { return m_value; }
    explicit operator bool() const { return m_value != Kind::None(); }

    // Gives the handle up without closing it.
    Value Release() { return std::exchange(m_value, Kind::None()); }
    // Closes the handle held, if any, and holds `value` instead.
    void Reset(Value value = Kind::None()) {
        const Value old = std::exchange(m_value, value);
        if (old != Kind::None()) {
            m_kind.Close(old);
        }
    }

  private:
    Value m_value = Kind::None();
    Kind m_kind{};
};

}  // namespace quotamin
