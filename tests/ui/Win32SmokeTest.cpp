// The program's windows and resources on the real Win32 window system (under
// Wine and Xvfb in the test command). Screenshots of the about box and of the
// main window's template go to the build directory, for a person to look at.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/DialogUnits.h"
#include "platform/NativeWindowSystem.h"
#include "tests/support/Screenshot.h"
#include "ui/AboutDialog.h"
#include "ui/BitmapDialog.h"
#include "ui/ProgramResources.h"
#include "ui/ResourceIds.h"
// Last: see platform/WindowsHeaderOrder.h.
#include "platform/win32/Win32.h"

namespace quotamin {
namespace {

using namespace std::chrono_literals;

HWND WaitForWindow(const char* title) {
    for (int i = 0; i < 1000; ++i) {
        HWND window = ::FindWindowA("#32770", title);
        if (window != nullptr && ::IsWindowVisible(window)) {
            return window;
        }
        std::this_thread::sleep_for(10ms);
    }
    return nullptr;
}

// Copies what the screen shows of `window` into a 24-bit BMP file.
bool Screenshot(HWND window, const std::string& name) {
    std::filesystem::create_directories(QUOTAMIN_SCREENSHOT_DIR);
    RECT rect{};
    ::GetWindowRect(window, &rect);
    const std::string bmp = testing::CaptureScreenBmp(rect.left, rect.top, rect.right, rect.bottom);
    std::ofstream out(std::string(QUOTAMIN_SCREENSHOT_DIR) + "/" + name, std::ios::binary);
    out.write(bmp.data(), static_cast<std::streamsize>(bmp.size()));
    return out.good();
}

// Where a control of `dialog` is, in the dialog's client coordinates.
RECT PlaceOf(HWND dialog, HWND control) {
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// Where the dialog manager puts a control of the template: its position and
// size in dialog units each converted with the dialog's base units.
Rect InPixels(HWND dialog, int x, int y, int cx, int cy) {
    RECT base{0, 0, 4, 8};
    ::MapDialogRect(dialog, &base);
    ControlTemplate control;
    control.x = x;
    control.y = y;
    control.cx = cx;
    control.cy = cy;
    return ControlRect(control, {base.right, base.bottom});
}

void ExpectPlace(HWND dialog, int id, int x, int y, int cx, int cy) {
    const RECT actual = PlaceOf(dialog, ::GetDlgItem(dialog, id));
    const Rect expected = InPixels(dialog, x, y, cx, cy);
    EXPECT_EQ(actual.left, expected.left) << "control " << id;
    EXPECT_EQ(actual.top, expected.top) << "control " << id;
    EXPECT_EQ(actual.right, expected.right) << "control " << id;
    EXPECT_EQ(actual.bottom, expected.bottom) << "control " << id;
}

// Runs a dialog on a thread of its own, as the program's one user-interface
// thread would, while the test looks at it from outside.
class OnUiThread {
  public:
    template <typename Code>
    explicit OnUiThread(Code code) : m_thread([this, code] { result = code(); }) {}
    ~OnUiThread() { m_thread.join(); }
    std::atomic<std::intptr_t> result{-100};

  private:
    std::thread m_thread;
};

std::string VersionString(const std::vector<char>& block, const char* name) {
    void* value = nullptr;
    UINT length = 0;
    const std::string path = std::string("\\StringFileInfo\\080904b0\\") + name;
    if (!::VerQueryValueA(block.data(), path.c_str(), &value, &length) || length == 0) {
        return "(missing)";
    }
    return std::string(static_cast<const char*>(value));
}

TEST(Win32Resources, TheProgramFileCarriesItsIconBitmapStringAndVersionBlock) {
    std::unique_ptr<WindowSystem> system = MakeNativeWindowSystem(ProgramResources());
    EXPECT_EQ(system->LoadString(IDS_ABOUTBOX), "&About Quotamin...");
    EXPECT_NE(system->LoadIcon(IDR_MAINFRAME), IconHandle{});
    const BitmapHandle bitmap = system->LoadBitmap(IDB_BACKGROUND);
    BitmapInfo info;
    ASSERT_TRUE(system->GetObject(bitmap, info));
    EXPECT_EQ(info.bmWidth, 510);
    EXPECT_EQ(info.bmHeight, 266);
    system->DeleteObject(bitmap);
    EXPECT_EQ(system->LoadBitmap(999), BitmapHandle{});
    for (int size : {16, 32, 48}) {
        const UniqueIcon icon(static_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr),
                                                              MAKEINTRESOURCEA(IDR_MAINFRAME),
                                                              IMAGE_ICON, size, size, 0)));
        ASSERT_TRUE(icon) << size;
        ICONINFO iconInfo{};
        ASSERT_TRUE(::GetIconInfo(icon.Get(), &iconInfo));
        const UniqueGdiObject<HBITMAP> colourBitmap(iconInfo.hbmColor);
        const UniqueGdiObject<HBITMAP> maskBitmap(iconInfo.hbmMask);
        BITMAP colour{};
        ::GetObjectA(colourBitmap.Get(), sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth, size);
    }

    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    DWORD ignored = 0;
    std::vector<char> block(::GetFileVersionInfoSizeA(path, &ignored));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(::GetFileVersionInfoA(path, 0, static_cast<DWORD>(block.size()), block.data()));
    EXPECT_EQ(VersionString(block, "FileVersion"), "1, 0, 2, 1");
    EXPECT_EQ(VersionString(block, "ProductVersion"), "1, 0, 2, 1");
    EXPECT_EQ(VersionString(block, "FileDescription"), "QUOTAMIN");
    EXPECT_EQ(VersionString(block, "InternalName"), "Quotamin");
    EXPECT_EQ(VersionString(block, "ProductName"), "QUOTAMIN Application");
    EXPECT_EQ(VersionString(block, "OriginalFilename"), "diduvavi.exe");
    EXPECT_EQ(VersionString(block, "Comments"),
              "Quotamin allows you to ration the amount of time someone spends on the computer "
              "before they are forced to logoff or shutdown.");
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00020001u);
    WORD* translation = nullptr;
    ASSERT_TRUE(::VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                                 reinterpret_cast<void**>(&translation), &length));
    EXPECT_EQ(translation[0], 0x0809);
    EXPECT_EQ(translation[1], 1200);
}

TEST(Win32Smoke, TheAboutBoxShowsItsTemplateAndEndsWithOk) {
    std::unique_ptr<WindowSystem> system = MakeNativeWindowSystem(ProgramResources());
    HWND about = nullptr;
    {
        OnUiThread ui([&] { return AboutDialog(*system).DoModal(); });
        about = WaitForWindow("About Quotamin");
        ASSERT_NE(about, nullptr);
        std::this_thread::sleep_for(500ms);
        EXPECT_TRUE(Screenshot(about, "about.bmp"));
        ExpectPlace(about, IDOK, 222, 58, 32, 14);
        EXPECT_EQ(::GetWindowLongA(::GetDlgItem(about, IDOK), GWL_STYLE) & 0xF, BS_DEFPUSHBUTTON);
        ::PostMessageA(about, WM_COMMAND, IDOK, 0);
        for (int i = 0; i < 500 && ui.result == -100; ++i) {
            std::this_thread::sleep_for(10ms);
        }
        EXPECT_EQ(ui.result.load(), IDOK);
    }
}

class MainWindowTemplate : public BitmapDialog {
  public:
    explicit MainWindowTemplate(WindowSystem& system) : BitmapDialog(system, IDD_QUOTAMIN_DIALOG) {}

  protected:
    bool OnInitDialog() override {
        BitmapDialog::OnInitDialog();
        SetMode(BitmapTile);
        LoadBitmap(IDB_BACKGROUND);
        ::SetDlgItemTextA(ToHwnd(GetSafeHwnd()), IDC_STATUS, "alice has 42 minutes left today");
        return true;
    }
};

TEST(Win32Smoke, TheMainWindowTemplateShowsItsControlsOnTheTiledBackground) {
    std::unique_ptr<WindowSystem> system = MakeNativeWindowSystem(ProgramResources());
    OnUiThread ui([&] { return MainWindowTemplate(*system).DoModal(); });
    HWND main = WaitForWindow("");
    ASSERT_NE(main, nullptr);
    std::this_thread::sleep_for(500ms);
    EXPECT_TRUE(Screenshot(main, "main-window.bmp"));
    ExpectPlace(main, IDC_PASSWORD, 88, 137, 65, 14);
    ExpectPlace(main, IDC_LOGIN, 234, 141, 50, 14);
    ExpectPlace(main, IDC_CLOSE, 288, 141, 38, 14);
    ExpectPlace(main, IDC_STATUS, 19, 57, 296, 58);
    EXPECT_NE(::GetWindowLongA(main, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
    EXPECT_NE(::GetWindowLongA(::GetDlgItem(main, IDC_PASSWORD), GWL_STYLE) & ES_PASSWORD, 0);
    // Enter with no default push button is IDOK, which ends a plain dialog.
    ::PostMessageA(::GetDlgItem(main, IDC_PASSWORD), WM_KEYDOWN, VK_RETURN, 1);
    for (int i = 0; i < 500 && ui.result == -100; ++i) {
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_EQ(ui.result.load(), IDOK);
}

}  // namespace
}  // namespace quotamin
