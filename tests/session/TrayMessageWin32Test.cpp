// The icon in Windows' own notification area, through the Win32 window system.

#include <gtest/gtest.h>

#include "core/QuotaminConfig.h"
#include "log/TraceLog.h"
#include "platform/NativeWindowSystem.h"
#include "session/TrayMessage.h"
#include "tests/support/TestSystem.h"

// Last: see platform/WindowsHeaderOrder.h.
#include "platform/win32/Win32.h"

namespace quotamin {
namespace {

TEST(TrayMessageOnWindows, TheShellAddsRefreshesAndRemovesTheIconOfARealWindow) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "QuotaminTrayMessageTest";
    RegisterClassA(&windowClass);
    const UniqueWindow window(CreateWindowA(windowClass.lpszClassName, "Quotamin",
                                            WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                            windowClass.hInstance, nullptr));
    ASSERT_TRUE(window);
    const WindowHandle handle = ToWindowHandle(window.Get());

    const auto windowSystem = MakeNativeWindowSystem(ResourceTable{});
    testing::TempDirectory directory;
    TraceLog log(directory.File("quotamin.log"), &TraceLog::LocalClock);
    testing::TestSystem system;
    QuotaminConfig config(system);
    config.m_userName = "bob";
    config.m_enabled = 1;
    config.m_minutesRemaining = 42;
    const auto send = [&](std::uint32_t message) {
        return TrayMessage(*windowSystem, handle, config, log, message);
    };

    // The shell knows the icon by window and id: it refuses to refresh one it has not got.
    EXPECT_FALSE(send(NIM_MODIFY));
    EXPECT_TRUE(send(NIM_ADD));
    config.m_minutesRemaining = 41;
    EXPECT_TRUE(send(NIM_MODIFY));
    EXPECT_TRUE(send(NIM_DELETE));
    EXPECT_FALSE(send(NIM_MODIFY));
}

}  // namespace
}  // namespace quotamin
