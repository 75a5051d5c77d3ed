#include "ui/ProgramResources.h"

#include "platform/Styles.h"
#include "ui/ResourceIds.h"

namespace quotamin {

namespace {

constexpr std::uint16_t kEnglishUs = 0x0409;
constexpr std::uint16_t kEnglishUk = 0x0809;
constexpr std::uint32_t kDialogStyle =
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;

ControlTemplate Control(int id, ControlKind kind, const char* text, std::uint32_t style, int x,
                        int y, int cx, int cy, std::uint32_t exStyle = 0) {
    ControlTemplate control;
    control.id = id;
    control.kind = kind;
    control.text = text;
    control.style = style;
    control.exStyle = exStyle;
    control.x = x;
    control.y = y;
    control.cx = cx;
    control.cy = cy;
    return control;
}

DialogTemplate Dialog(int id, std::uint16_t language, std::uint32_t style, int cx, int cy,
                      const char* title, std::vector<ControlTemplate> controls,
                      std::uint32_t exStyle = 0) {
    DialogTemplate dialog;
    dialog.id = id;
    dialog.language = language;
    dialog.style = style;
    dialog.exStyle = exStyle;
    dialog.cx = cx;
    dialog.cy = cy;
    dialog.title = title;
    dialog.fontName = "MS Sans Serif";
    dialog.pointSize = 8;
    dialog.controls = std::move(controls);
    return dialog;
}

constexpr ControlKind kButton = ControlKind::Button;
constexpr ControlKind kEdit = ControlKind::Edit;
constexpr ControlKind kStatic = ControlKind::Static;
constexpr int kNoId = -1;

DialogTemplate MainWindow() {
    return Dialog(
        IDD_QUOTAMIN_DIALOG, kEnglishUs, kDialogStyle | WS_VISIBLE, 339, 162, "",
        {
            Control(IDC_PASSWORD, kEdit, "", WS_TABSTOP | ES_PASSWORD | ES_AUTOHSCROLL, 88, 137, 65,
                    14, WS_EX_STATICEDGE),
            Control(IDC_LOGIN, kButton, "Login", BS_PUSHBUTTON | WS_TABSTOP, 234, 141, 50, 14),
            Control(IDC_CLOSE, kButton, "    Close    ", BS_PUSHBUTTON | WS_TABSTOP, 288, 141, 38,
                    14),
            Control(IDC_STATUS, kEdit, "",
                    WS_BORDER | WS_TABSTOP | ES_CENTER | ES_MULTILINE | ES_AUTOVSCROLL, 19, 57, 296,
                    58),
        },
        WS_EX_APPWINDOW);
}

DialogTemplate Administration() {
    const std::uint32_t radio = BS_AUTORADIOBUTTON | BS_LEFTTEXT | WS_TABSTOP;
    const std::uint32_t number = WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
    return Dialog(
        IDD_ADMIN_DIALOG, kEnglishUk, kDialogStyle, 298, 130, "Quotamin administration",
        {
            Control(IDC_LOGOFF_RADIO, kButton, "Logoff current user", radio, 31, 37, 75, 10),
            Control(IDC_SHUTDOWN_RADIO, kButton, "Shutdown computer", radio, 27, 50, 79, 10),
            Control(IDC_MINUTES_ALLOWED, kEdit, "", number, 229, 33, 40, 14),
            Control(IDC_MINUTES_REMAINING, kEdit, "", number, 229, 50, 40, 14),
            Control(IDC_ENABLE_CHECK, kButton, "Enable Quota-min for this user",
                    BS_AUTOCHECKBOX | BS_LEFTTEXT | WS_TABSTOP, 172, 80, 102, 10),
            Control(IDC_SHUTDOWN_PROGRAM, kButton, "Shutdown Quotamin", BS_PUSHBUTTON | WS_TABSTOP,
                    26, 109, 74, 14),
            Control(IDC_CHANGE_PASSWORD, kButton, "Change password", BS_PUSHBUTTON | WS_TABSTOP,
                    105, 108, 74, 14),
            Control(1, kButton, "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 185, 108, 50, 14),
            Control(2, kButton, "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 241, 108, 50, 14),
            Control(kNoId, kStatic, "Minutes remaining for today", SS_LEFT | WS_GROUP, 137, 52, 92,
                    8),
            Control(kNoId, kButton, "", BS_GROUPBOX, 7, 7, 284, 93),
            Control(kNoId, kStatic, "Minutes allowed per day", SS_LEFT | WS_GROUP, 137, 37, 77, 8),
            Control(kNoId, kButton, "When time has run out", BS_GROUPBOX, 17, 23, 98, 47),
            Control(kNoId, kButton, "Ration settings", BS_GROUPBOX, 125, 23, 155, 47),
            Control(kNoId, kStatic, "Username", SS_LEFT | WS_GROUP, 19, 80, 33, 8),
            Control(IDC_USER_NAME, kEdit, "", number | ES_READONLY, 56, 77, 96, 14),
        });
}

DialogTemplate ChangePassword() {
    const std::uint32_t password = WS_BORDER | WS_TABSTOP | ES_PASSWORD | ES_AUTOHSCROLL;
    return Dialog(
        IDD_CHANGE_PASSWORD_DIALOG, kEnglishUk, kDialogStyle, 230, 127, "Change password",
        {
            Control(1, kButton, "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 118, 106, 50, 14),
            Control(2, kButton, "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 173, 106, 50, 14),
            Control(kNoId, kButton, "", BS_GROUPBOX, 7, 7, 216, 91),
            Control(IDC_OLD_PASSWORD, kEdit, "", password, 94, 20, 115, 14),
            Control(IDC_NEW_PASSWORD, kEdit, "", password, 94, 54, 115, 14),
            Control(IDC_REPEAT_PASSWORD, kEdit, "", password, 94, 74, 115, 14),
            Control(kNoId, kStatic, "Old password", SS_LEFT | WS_GROUP, 48, 23, 44, 8),
            Control(kNoId, kStatic, "New password", SS_LEFT | WS_GROUP, 44, 57, 48, 8),
            Control(kNoId, kStatic, "Repeat new password", SS_LEFT | WS_GROUP, 20, 77, 72, 8),
        });
}

DialogTemplate About() {
    ControlTemplate icon = Control(kNoId, kStatic, "", SS_ICON, 11, 17, 21, 20);
    icon.iconResource = IDR_MAINFRAME;
    return Dialog(
        IDD_ABOUTBOX, kEnglishUs, kDialogStyle, 261, 79, "About Quotamin",
        {
            icon,
            Control(kNoId, kStatic, "Quotamin Version 1.0.2", SS_LEFT | SS_NOPREFIX | WS_GROUP, 41,
                    16, 119, 8),
            Control(1, kButton, "OK", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 222, 58, 32, 14),
            Control(kNoId, kStatic, QUOTAMIN_SUPPORT_TEXT, SS_LEFT | WS_GROUP, 41, 44, 179, 19),
        });
}

}  // namespace

ResourceTable ProgramResources() {
    ResourceTable table;
    table.dialogs = {MainWindow(), Administration(), ChangePassword(), About()};
    table.strings = {{IDS_ABOUTBOX, QUOTAMIN_ABOUT_MENU_TEXT}};
    table.bitmaps = {{IDB_BACKGROUND, 510, 266}};
    table.icons = {IDR_MAINFRAME};
    return table;
}

}  // namespace quotamin
