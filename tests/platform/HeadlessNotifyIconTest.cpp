#include <gtest/gtest.h>

#include <cstring>

#include "platform/headless/HeadlessWindowSystem.h"

namespace quotamin {
namespace {

ResourceTable IconOnly() {
    ResourceTable table;
    table.icons = {128};
    return table;
}

TEST(HeadlessNotifyIcon, RecordsEveryCallWithTheWholeRecordAndCanRefuse) {
    HeadlessWindowSystem ws(IconOnly());
    NotifyIconData data;
    data.cbSize = 88;
    data.hWnd = ws.CreatePlainWindow();
    data.uID = 128;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = 1026;
    data.hIcon = ws.LoadIcon(128);
    std::strcpy(data.szTip, "tip");

    EXPECT_TRUE(ws.ShellNotifyIcon(NIM_ADD, data));
    ws.RefuseNotifyIcon(true);
    EXPECT_FALSE(ws.ShellNotifyIcon(NIM_DELETE, data));

    ASSERT_EQ(ws.NotifyIconCalls().size(), 2u);
    EXPECT_EQ(ws.NotifyIconCalls()[0].message, NIM_ADD);
    EXPECT_EQ(ws.NotifyIconCalls()[1].message, NIM_DELETE);
    const NotifyIconData& seen = ws.NotifyIconCalls()[0].data;
    EXPECT_EQ(seen.cbSize, 88u);
    EXPECT_EQ(seen.hWnd, data.hWnd);
    EXPECT_NE(seen.hWnd, WindowHandle{});
    EXPECT_EQ(seen.uFlags, 7u);
    EXPECT_EQ(seen.hIcon, data.hIcon);
    EXPECT_STREQ(seen.szTip, "tip");
}

TEST(HeadlessNotifyIcon, LoadsOnlyIconsOfTheResourceTable) {
    HeadlessWindowSystem ws(IconOnly());
    EXPECT_NE(ws.LoadIcon(128), IconHandle{});
    EXPECT_EQ(ws.LoadIcon(129), IconHandle{});
}

}  // namespace
}  // namespace quotamin
