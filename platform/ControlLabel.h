#pragma once
// The name under which a control of a dialog is known to screen readers and
// to the accessibility bus: what a user reads for it on the screen. A button,
// check box, radio button, group box or static text is named by its own text
// (without the '&' that marks its access key, nor blanks at either end); an edit box by the static
// text that labels it, the nearest one to its left on the same line, else the nearest one before it
// in template order. A password box that no text labels is named "Password"; any other edit box
// without a label is named by the text it holds.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/DialogControl.h"

namespace quotamin {

// Nothing for an edit box named by the text it holds.
std::optional<std::string> AccessibleName(const std::vector<DialogControl>& controls,
                                          std::size_t index);

// The static text that labels the edit box controls[index], if one does.
std::optional<std::size_t> LabelOf(const std::vector<DialogControl>& controls, std::size_t index);

// "&Login" as "Login", "Fish && chips" as "Fish & chips", "  Close  " as "Close".
std::string WithoutAccessKeyMarks(const std::string& text);

}  // namespace quotamin
