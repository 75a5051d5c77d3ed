#include <gtest/gtest.h>

#include "platform/headless/HeadlessWindowSystem.h"
#include "tests/support/HeadlessDriver.h"
#include "ui/BitmapDialog.h"
#include "ui/ProgramResources.h"
#include "ui/ResourceIds.h"

namespace quotamin {
namespace {

constexpr int kSmall = 500;  // 50 x 40
constexpr int kTiny = 501;   // 7 x 5
constexpr int kWide = 502;   // 700 x 100
constexpr int kMissing = 999;

ResourceTable Resources() {
    ResourceTable table = ProgramResources();
    table.bitmaps.push_back({kSmall, 50, 40});
    table.bitmaps.push_back({kTiny, 7, 5});
    table.bitmaps.push_back({kWide, 700, 100});
    return table;
}

struct Copy {
    DrawCall::Kind kind;
    int x, y, cx, cy;
    int scx, scy;
};

class BitmapDialogTest : public ::testing::Test {
  protected:
    void Open() {
        m_running.emplace(ui.Start([this] { dialog.DoModal(); }));
        window = ui.FindDialog(IDD_QUOTAMIN_DIALOG);
        ASSERT_NE(window, WindowHandle{});
    }
    // Erases a client area of the given size and returns the copies drawn
    // after the plain background, which must have come first.
    std::vector<Copy> Erase(int width, int height) {
        ui.SetClientSize(window, width, height);
        ui.ClearDrawCalls();
        EXPECT_NE(ui.EraseBackground(window), 0);
        std::vector<Copy> copies;
        const std::vector<DrawCall>& calls = ui.DrawCalls();
        EXPECT_FALSE(calls.empty());
        EXPECT_EQ(calls.front().kind, DrawCall::FillBackground);
        for (std::size_t i = 1; i < calls.size(); ++i) {
            EXPECT_EQ(calls[i].rop, SRCCOPY);
            EXPECT_EQ(calls[i].sx, 0);
            EXPECT_EQ(calls[i].sy, 0);
            copies.push_back({calls[i].kind, calls[i].x, calls[i].y, calls[i].cx, calls[i].cy,
                              calls[i].scx, calls[i].scy});
        }
        EXPECT_EQ(ui.LiveMemoryContexts(), 0u);
        return copies;
    }

    HeadlessWindowSystem windowSystem{Resources()};
    testing::HeadlessDriver ui{windowSystem};
    BitmapDialog dialog{windowSystem, IDD_QUOTAMIN_DIALOG};
    WindowHandle window{};

  private:
    std::optional<testing::HeadlessDriver::Running> m_running;
};

bool operator==(const Copy& a, const Copy& b) {
    return a.kind == b.kind && a.x == b.x && a.y == b.y && a.cx == b.cx && a.cy == b.cy &&
           a.scx == b.scx && a.scy == b.scy;
}

void PrintTo(const Copy& c, std::ostream* out) {
    *out << "{" << c.kind << " at " << c.x << "," << c.y << " size " << c.cx << "x" << c.cy
         << " from " << c.scx << "x" << c.scy << "}";
}

TEST_F(BitmapDialogTest, DrawsTheCopiesOfEachModeAtTheirPlaces) {
    constexpr auto Blt = DrawCall::BitBlt;
    struct Case {
        const char* name;
        int mode;
        int bitmap;
        int width, height;
        std::vector<Copy> copies;
    };
    const Case cases[] = {
        {"tile, 510x266 on 600x300",
         BitmapDialog::BitmapTile,
         IDB_BACKGROUND,
         600,
         300,
         {{Blt, 0, 0, 600, 300, 600, 300},
          {Blt, 510, 0, 600, 300, 600, 300},
          {Blt, 0, 266, 600, 300, 600, 300},
          {Blt, 510, 266, 600, 300, 600, 300}}},
        {"tile, exactly the bitmap's size",
         BitmapDialog::BitmapTile,
         IDB_BACKGROUND,
         510,
         266,
         {{Blt, 0, 0, 510, 266, 510, 266}}},
        {"centre, W = 101 and w = 50",
         BitmapDialog::BitmapCenter,
         kSmall,
         101,
         60,
         {{Blt, 25, 10, 50, 40, 50, 40}}},
        {"centre, wider than the client area",
         BitmapDialog::BitmapCenter,
         kWide,
         600,
         300,
         {{Blt, 0, 100, 700, 100, 700, 100}}},
        {"centre, exactly as wide",
         BitmapDialog::BitmapCenter,
         IDB_BACKGROUND,
         510,
         300,
         {{Blt, 0, 17, 510, 266, 510, 266}}},
        {"centre, taller than the client area",
         BitmapDialog::BitmapCenter,
         kSmall,
         60,
         30,
         {{Blt, 5, 0, 50, 40, 50, 40}}},
        {"stretch",
         BitmapDialog::BitmapStretch,
         IDB_BACKGROUND,
         600,
         300,
         {{DrawCall::StretchBlt, 0, 0, 600, 300, 510, 266}}},
    };
    Open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialog.SetMode(c.mode);
        ASSERT_EQ(dialog.LoadBitmap(static_cast<unsigned>(c.bitmap)), 0);
        EXPECT_EQ(Erase(c.width, c.height), c.copies);
    }
}

TEST_F(BitmapDialogTest, TiledEveryClientPixelShowsTheBitmapPixelAtItsPositionModuloTheSize) {
    struct Case {
        int bitmap, w, h, width, height;
    };
    Open();
    for (const Case& c : {Case{kTiny, 7, 5, 23, 17}, Case{IDB_BACKGROUND, 510, 266, 600, 300}}) {
        ASSERT_EQ(dialog.LoadBitmap(static_cast<unsigned>(c.bitmap)), 0);
        Erase(c.width, c.height);
        int wrong = 0;
        for (int y = 0; y < c.height; ++y) {
            for (int x = 0; x < c.width; ++x) {
                wrong += ui.PixelAt(window, x, y) != Raster::BitmapPixel(x % c.w, y % c.h);
            }
        }
        EXPECT_EQ(wrong, 0) << "bitmap " << c.bitmap;
    }
}

TEST_F(BitmapDialogTest, CentredTheStripsBesideTheBitmapKeepThePlainBackground) {
    Open();
    dialog.SetMode(BitmapDialog::BitmapCenter);
    ASSERT_EQ(dialog.LoadBitmap(kSmall), 0);
    Erase(101, 60);
    int wrong = 0;
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 101; ++x) {
            const bool onBitmap = x >= 25 && x < 75 && y >= 10 && y < 50;
            wrong += ui.PixelAt(window, x, y) !=
                     (onBitmap ? Raster::BitmapPixel(x - 25, y - 10) : Raster::kBackgroundColour);
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST_F(BitmapDialogTest, DrawsOnlyThePlainBackgroundWithoutABitmapOrAClientAreaOrAMemoryContext) {
    Open();
    EXPECT_TRUE(Erase(600, 300).empty()) << "no bitmap loaded";
    EXPECT_EQ(dialog.LoadBitmap(kMissing), 1);
    EXPECT_TRUE(Erase(600, 300).empty()) << "a bitmap that does not exist";

    ASSERT_EQ(dialog.LoadBitmap(IDB_BACKGROUND), 0);
    windowSystem.FailMemoryContexts(true);
    EXPECT_TRUE(Erase(600, 300).empty()) << "no memory context";
    windowSystem.FailMemoryContexts(false);
    for (int mode :
         {BitmapDialog::BitmapTile, BitmapDialog::BitmapCenter, BitmapDialog::BitmapStretch}) {
        dialog.SetMode(mode);
        ui.Minimize(window);
        ui.ClearDrawCalls();
        EXPECT_NE(ui.EraseBackground(window), 0);
        ASSERT_EQ(ui.DrawCalls().size(), 1u) << "mode " << mode;
        EXPECT_EQ(ui.DrawCalls().front().kind, DrawCall::FillBackground);
    }
}

TEST_F(BitmapDialogTest, SetModeTakesOnlyTheThreeModes) {
    struct Step {
        int set;
        int mode;
    };
    for (Step step :
         {Step{3, 0}, Step{-1, 0}, Step{2, 2}, Step{3, 2}, Step{-1, 2}, Step{1, 1}, Step{0, 0}}) {
        dialog.SetMode(step.set);
        EXPECT_EQ(dialog.GetMode(), step.mode) << "after SetMode(" << step.set << ")";
    }
    Open();
    ASSERT_EQ(dialog.LoadBitmap(IDB_BACKGROUND), 0);
    dialog.SetMode(2);
    dialog.SetMode(3);
    ASSERT_EQ(Erase(600, 300).size(), 1u);
    EXPECT_EQ(ui.DrawCalls().back().kind, DrawCall::StretchBlt);
}

TEST_F(BitmapDialogTest, LoadBitmapUsesTheLow16BitsOfTheIdAndKeepsOneBitmap) {
    EXPECT_EQ(dialog.LoadBitmap(0x10000u + IDB_BACKGROUND), 0);
    EXPECT_EQ(dialog.LoadBitmap(IDB_BACKGROUND), 0);
    EXPECT_EQ(ui.LiveBitmaps(), 1u);
    EXPECT_EQ(dialog.LoadBitmap(kMissing), 1);
    EXPECT_EQ(ui.LiveBitmaps(), 0u);
}

TEST_F(BitmapDialogTest, ARepaintErasesTheBackgroundThroughTheDefaultPainting) {
    Open();
    ASSERT_EQ(dialog.LoadBitmap(IDB_BACKGROUND), 0);
    ui.SetClientSize(window, 510, 266);
    ui.ClearDrawCalls();
    ui.Paint(window);
    ASSERT_EQ(ui.DrawCalls().size(), 2u);
    EXPECT_EQ(ui.DrawCalls()[0].kind, DrawCall::FillBackground);
    EXPECT_EQ(ui.DrawCalls()[1].kind, DrawCall::BitBlt);
    EXPECT_EQ(ui.DrawCalls()[1].sourceBitmap, IDB_BACKGROUND);
}

}  // namespace
}  // namespace quotamin
