#pragma once
// Where the keyboard focus goes in a dialog: when it opens, to its first tab
// stop (a reachable control with WS_TABSTOP, in template order); Tab moves it to
// the next tab stop and Shift+Tab to the one before, round from the last to the
// first and back.

#include <cstddef>
#include <optional>
#include <vector>

#include "platform/DialogControl.h"

namespace quotamin {

std::optional<std::size_t> FirstTabStop(const std::vector<DialogControl>& controls);

// The tab stop after (or before) controls[from]; with no control focused, the
// first (or last) one.
std::optional<std::size_t> NextTabStop(const std::vector<DialogControl>& controls,
                                       std::optional<std::size_t> from, bool backwards);

}  // namespace quotamin
