#include "tests/platform/ProbeResources.h"

#include "platform/Styles.h"

namespace quotamin::test {

namespace {

ControlTemplate ProbeControl(int id, ControlKind kind, const char* text, std::uint32_t style, int x,
                             int y, int cx, int cy) {
    ControlTemplate control;
    control.id = id;
    control.kind = kind;
    control.text = text;
    control.style = style;
    control.x = x;
    control.y = y;
    control.cx = cx;
    control.cy = cy;
    return control;
}

ControlTemplate ProbeButton(int id, const char* text, std::uint32_t style, int y) {
    return ProbeControl(id, ControlKind::Button, text, style, 120, y, 70, 14);
}

}  // namespace

ResourceTable ProbeResources() {
    const std::uint32_t dialogStyle =
        WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    const std::uint32_t push = BS_PUSHBUTTON | WS_TABSTOP;
    DialogTemplate probe;
    probe.id = kProbeTemplate;
    probe.language = 0x0409;
    probe.style = dialogStyle;
    probe.cx = 200;
    probe.cy = 165;
    probe.title = "Probe";
    probe.fontName = "MS Sans Serif";
    probe.pointSize = 8;
    probe.controls = {
        ProbeControl(kNameEdit, ControlKind::Edit, "", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 7,
                     7, 100, 14),
        ProbeButton(kOpenNested, "Nested", push, 7),
        ProbeButton(kShowBox, "Box", push, 24),
        ProbeButton(kFail, "Fail", push, 41),
        ProbeButton(kEndWithSeven, "End 7", push, 58),
        ProbeButton(kCheckBox, "Check", BS_AUTOCHECKBOX | WS_TABSTOP, 75),
        ProbeButton(kRadioA, "A", BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP, 92),
        ProbeButton(kRadioB, "B", BS_AUTORADIOBUTTON | WS_TABSTOP, 109),
        ProbeButton(kDisabledButton, "Disabled", push | WS_DISABLED | WS_GROUP, 126),
    };
    DialogTemplate withDefault = probe;
    withDefault.id = kProbeWithDefaultTemplate;
    withDefault.title = "Probe with a default button";
    withDefault.controls.push_back(
        ProbeButton(kDefaultButton, "Default", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 143));

    DialogTemplate texts = probe;
    texts.id = kProbeTextsTemplate;
    texts.language = 0x0809;
    texts.x = 3;
    texts.y = -2;
    texts.exStyle = WS_EX_APPWINDOW;
    texts.title = "Say \"cheese\", C:\\new\\ caf\xE9";
    ControlTemplate icon = ProbeControl(-1, ControlKind::Static, "", SS_ICON, 7, 30, 21, 20);
    icon.iconResource = PROBE_ICON;
    ControlTemplate edit = ProbeControl(kNameEdit, ControlKind::Edit, "\\\\server\\share",
                                        WS_TABSTOP | ES_PASSWORD, 7, 7, 100, 14);
    edit.exStyle = WS_EX_STATICEDGE;
    texts.controls = {
        edit,
        icon,
        ProbeControl(-1, ControlKind::Static, "&& \"\" \xAB na\xEFve \xBB ~ \x80", SS_LEFT, 40, 30,
                     150, 8),
        ProbeButton(1, "&OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 143),
    };
    DialogTemplate bare;
    bare.id = kProbeBareTemplate;
    bare.language = 0x0409;
    bare.style = WS_POPUP | DS_MODALFRAME;
    bare.cx = 80;
    bare.cy = 40;
    bare.controls = {ProbeButton(2, "Cancel", push, 20)};

    ResourceTable table;
    table.dialogs = {probe, withDefault, texts, bare};
    table.strings = {{PROBE_ABOUT_STRING, PROBE_ABOUT_TEXT}};
    table.bitmaps = {{PROBE_BACKGROUND_BITMAP, 510, 266}, {PROBE_SMALL_BITMAP, 7, 5}};
    table.icons = {PROBE_ICON};
    return table;
}

}  // namespace quotamin::test
