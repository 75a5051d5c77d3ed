#include "tests/platform/ProbeResources.h"

#include "platform/Styles.h"

namespace quotamin::test {

namespace {

ControlTemplate ProbeButton(int id, const char* text, std::uint32_t style, int y) {
    return {.id = id,
            .kind = ControlKind::Button,
            .text = text,
            .style = style,
            .x = 120,
            .y = y,
            .cx = 70,
            .cy = 14};
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
        {.id = kNameEdit,
         .kind = ControlKind::Edit,
         .text = "",
         .style = WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL,
         .x = 7,
         .y = 7,
         .cx = 100,
         .cy = 14},
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
    texts.controls = {
        {.id = kNameEdit,
         .kind = ControlKind::Edit,
         .text = "\\\\server\\share",
         .style = WS_TABSTOP | ES_PASSWORD,
         .exStyle = WS_EX_STATICEDGE,
         .x = 7,
         .y = 7,
         .cx = 100,
         .cy = 14},
        {.text = "",
         .iconResource = PROBE_ICON,
         .style = SS_ICON,
         .x = 7,
         .y = 30,
         .cx = 21,
         .cy = 20},
        {.text = "&& \"\" \xAB na\xEFve \xBB ~ \x80",
         .style = SS_LEFT,
         .x = 40,
         .y = 30,
         .cx = 150,
         .cy = 8},
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
