#include "platform/TabOrder.h"

#include "platform/Styles.h"

namespace quotamin {

namespace {

bool IsTabStop(const DialogControl& control) {
    return (control.style & WS_TABSTOP) != 0 && control.Reachable();
}

}  // namespace

std::optional<std::size_t> FirstTabStop(const std::vector<DialogControl>& controls) {
    return NextTabStop(controls, std::nullopt, false);
}

std::optional<std::size_t> NextTabStop(const std::vector<DialogControl>& controls,
                                       std::optional<std::size_t> from, bool backwards) {
    const std::size_t count = controls.size();
    if (count == 0) {
        return std::nullopt;
    }
    // Start just outside the list when nothing is focused, so the first step
    // lands on the first (or last) control.
    std::size_t at = from ? *from : (backwards ? 0 : count - 1);
    for (std::size_t step = 0; step < count; ++step) {
        at = backwards ? (at + count - 1) % count : (at + 1) % count;
        if (IsTabStop(controls[at])) {
            return at;
        }
    }
    return std::nullopt;
}

}  // namespace quotamin
