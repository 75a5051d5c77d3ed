#include "platform/DialogKeys.h"

#include "platform/Styles.h"

namespace quotamin {

namespace {

std::optional<std::size_t> ControlWithId(const std::vector<DialogControl>& controls, int id) {
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (controls[i].id == id) {
            return i;
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::size_t> DefaultPushButton(const std::vector<DialogControl>& controls) {
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (controls[i].IsButtonOfType(BS_DEFPUSHBUTTON)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<KeyCommand> EnterCommand(const std::vector<DialogControl>& controls,
                                       std::optional<std::size_t> focused) {
    if (focused && controls.at(*focused).IsPushButton()) {
        return KeyCommand{controls[*focused].id, focused};
    }
    if (const std::optional<std::size_t> button = DefaultPushButton(controls)) {
        if (!controls[*button].enabled) {
            return std::nullopt;
        }
        return KeyCommand{controls[*button].id, button};
    }
    return KeyCommand{IDOK, ControlWithId(controls, IDOK)};
}

KeyCommand CancelCommand(const std::vector<DialogControl>& controls) {
    return KeyCommand{IDCANCEL, ControlWithId(controls, IDCANCEL)};
}

}  // namespace quotamin
