#include "platform/DialogControl.h"

#include "platform/Styles.h"

namespace quotamin {

bool DialogControl::IsButtonOfType(std::uint32_t type) const {
    return kind == ControlKind::Button && (style & BS_TYPEMASK) == type;
}

bool DialogControl::IsPushButton() const {
    return IsButtonOfType(BS_PUSHBUTTON) || IsButtonOfType(BS_DEFPUSHBUTTON);
}

std::vector<DialogControl> CreateControls(const DialogTemplate& dialog, DialogBaseUnits base) {
    std::vector<DialogControl> controls;
    controls.reserve(dialog.controls.size());
    for (const ControlTemplate& item : dialog.controls) {
        DialogControl control;
        control.id = item.id;
        control.kind = item.kind;
        control.style = item.style;
        control.text = item.text;
        control.iconResource = item.iconResource;
        control.enabled = (item.style & WS_DISABLED) == 0;
        control.rect = ControlRect(item, base);
        controls.push_back(std::move(control));
    }
    return controls;
}

}  // namespace quotamin
