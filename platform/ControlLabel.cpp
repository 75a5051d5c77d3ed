#include "platform/ControlLabel.h"

#include "platform/Styles.h"

namespace quotamin {

namespace {

bool IsTextStatic(const DialogControl& control) {
    return control.kind == ControlKind::Static && (control.style & SS_TYPEMASK) != SS_ICON &&
           !control.text.empty();
}

bool SameLine(const Rect& a, const Rect& b) {
    return a.top < b.bottom && b.top < a.bottom;
}

}  // namespace

std::string WithoutAccessKeyMarks(const std::string& text) {
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) {
            ++i;
        }
        plain.push_back(text[i]);
    }
    // Blanks that widen a button ("    Close    ") are no part of its name.
    const std::size_t first = plain.find_first_not_of(' ');
    return first == std::string::npos
               ? std::string()
               : plain.substr(first, plain.find_last_not_of(' ') - first + 1);
}

std::optional<std::size_t> LabelOf(const std::vector<DialogControl>& controls, std::size_t index) {
    const DialogControl& edit = controls.at(index);
    std::optional<std::size_t> beside;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const DialogControl& label = controls[i];
        if (IsTextStatic(label) && SameLine(label.rect, edit.rect) &&
            label.rect.right <= edit.rect.left &&
            (!beside || label.rect.right > controls[*beside].rect.right)) {
            beside = i;
        }
    }
    if (beside) {
        return beside;
    }
    for (std::size_t i = index; i-- > 0;) {
        if (IsTextStatic(controls[i])) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::string> AccessibleName(const std::vector<DialogControl>& controls,
                                          std::size_t index) {
    const DialogControl& control = controls.at(index);
    if (control.kind != ControlKind::Edit) {
        return WithoutAccessKeyMarks(control.text);
    }
    if (const std::optional<std::size_t> label = LabelOf(controls, index)) {
        return WithoutAccessKeyMarks(controls[*label].text);
    }
    if ((control.style & ES_PASSWORD) != 0) {
        return "Password";
    }
    return std::nullopt;
}

}  // namespace quotamin
