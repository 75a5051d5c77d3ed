#pragma once
// Drawing in memory: the client area of each window as a surface of pixels,
// bitmaps whose every pixel tells where it came from, drawing contexts, and the
// copies between them. Every drawing operation is also recorded, so that a test
// can see what was drawn in what order.

#include "platform/WindowsHeaderOrder.h"

#include <cstdint>
#include <map>
#include <vector>

#include "platform/Geometry.h"
#include "platform/Handles.h"

namespace quotamin {

// One drawing operation, as recorded.
struct DrawCall {
    enum Kind { FillBackground, BitBlt, StretchBlt, DrawIcon } kind = FillBackground;
    WindowHandle window{};  // the window drawn on (null for a memory context)
    int x = 0, y = 0, cx = 0, cy = 0;
    int sourceBitmap = 0;  // resource id of the bitmap selected into the source
    int sx = 0, sy = 0, scx = 0, scy = 0;
    std::uint32_t rop = 0;
    IconHandle icon{};
};

class Raster {
  public:
    // The colour of the plain dialog background, and of a client area never drawn.
    static constexpr std::uint32_t kBackgroundColour = 0x00C0C0C0;
    static constexpr std::uint32_t kUnpaintedColour = 0x00FF00FF;
    // Every bitmap's pixel (x, y) has this colour, so a test can tell where each
    // pixel of a window came from.
    static constexpr std::uint32_t BitmapPixel(int x, int y) {
        return 0xFF000000u | (static_cast<std::uint32_t>(x & 0xFFF) << 12) |
               static_cast<std::uint32_t>(y & 0xFFF);
    }
    static constexpr int kIconSize = 32;

    Raster();

    // A window's client area; resizing leaves it unpainted.
    void Resize(WindowHandle window, int width, int height);
    void Forget(WindowHandle window);
    Rect ClientRect(WindowHandle window) const;
    std::uint32_t PixelAt(WindowHandle window, int x, int y) const;

    // The drawing context of a window's client area, and its release.
    DcHandle WindowContext(WindowHandle window);
    void Release(DcHandle dc);
    // What the default erasure does: the whole surface in the plain background.
    void FillBackground(WindowHandle window, DcHandle dc);

    DcHandle CreateCompatibleDC(DcHandle dc);
    bool DeleteDC(DcHandle dc);
    BitmapHandle SelectObject(DcHandle dc, BitmapHandle bitmap);
    bool BitBlt(DcHandle dest, int x, int y, int cx, int cy, DcHandle source, int sx, int sy,
                std::uint32_t rop);
    bool StretchBlt(DcHandle dest, int x, int y, int cx, int cy, DcHandle source, int sx, int sy,
                    int scx, int scy, std::uint32_t rop);
    bool DrawIcon(DcHandle dc, int x, int y, IconHandle icon);

    BitmapHandle CreateBitmap(int resourceId, int width, int height);
    bool GetObject(BitmapHandle bitmap, BitmapInfo& info) const;
    bool DeleteObject(BitmapHandle bitmap);

    // What a test reads.
    const std::vector<DrawCall>& DrawCalls() const { return m_drawCalls; }
    void ClearDrawCalls() { m_drawCalls.clear(); }
    std::size_t LiveBitmaps() const { return m_bitmaps.size() - 1; }  // less the stock one
    std::size_t LiveMemoryContexts() const;
    // From now on memory drawing contexts cannot be created (or can again).
    void FailMemoryContexts(bool fail) { m_failMemoryContexts = fail; }

  private:
    struct Surface {
        int width = 0, height = 0;
        std::vector<std::uint32_t> pixels;
    };
    struct Context {
        WindowHandle window{};  // a window's context; null for a memory context
        BitmapHandle selected{};
    };
    struct BitmapObject {
        int resourceId = 0;
        Surface surface;
    };

    std::uintptr_t NewHandle() { return m_nextHandle++; }
    DcHandle NewContext(WindowHandle window);
    Surface* SurfaceOf(DcHandle dc);
    int SelectedBitmapResource(DcHandle dc) const;
    bool Copy(DcHandle dest, int x, int y, int cx, int cy, DcHandle source, int sx, int sy, int scx,
              int scy, std::uint32_t rop, DrawCall::Kind kind);

    // Apart from the window handles, so that each kind of handle stays unique.
    std::uintptr_t m_nextHandle = 0x40000000;
    std::map<WindowHandle, Surface> m_windows;
    std::map<DcHandle, Context> m_contexts;
    std::map<BitmapHandle, BitmapObject> m_bitmaps;
    BitmapHandle m_stockBitmap{};
    std::vector<DrawCall> m_drawCalls;
    bool m_failMemoryContexts = false;
};

}  // namespace quotamin
