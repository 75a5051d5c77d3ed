#pragma once
// Drawing on the Qt window system: the program's bitmaps and icons, which are
// files of the Qt resource system compiled into the program (":/quotamin/
// bitmap/<id>" and ":/quotamin/icon/<id>", the same files the Windows
// resource script takes); drawing contexts over the painter of a window's
// paint event or over a bitmap selected into a memory context; and the copies
// between them, pixel for pixel as Windows copies them.

#include "platform/WindowsHeaderOrder.h"

#include <QtGui/QColor>
#include <QtGui/QIcon>
#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <cstdint>
#include <functional>
#include <map>

#include "platform/Geometry.h"
#include "platform/Handles.h"

namespace quotamin {

class QtDrawing {
  public:
    // Null when the program has no such bitmap.
    BitmapHandle LoadBitmap(int resourceId);
    bool GetObject(BitmapHandle bitmap, BitmapInfo& info) const;
    bool DeleteObject(BitmapHandle bitmap);
    // The same handle for every load of one icon; null when there is no such icon.
    IconHandle LoadIcon(int resourceId);
    QIcon Icon(IconHandle icon) const;

    // A context that draws with `painter` (a window's, during its paint event).
    DcHandle WindowContext(QPainter& painter);
    // Ends a window's context; its painter stays its owner's.
    void Release(DcHandle dc);
    DcHandle CreateCompatibleDC(DcHandle dc);
    bool DeleteDC(DcHandle dc);
    // Returns the bitmap selected before; null (and nothing changed) for a
    // context or bitmap that is none of these.
    BitmapHandle SelectObject(DcHandle dc, BitmapHandle bitmap);

    // SRCCOPY only. A copy takes what lies inside the source bitmap; what it
    // would take from beyond the bitmap's edge leaves the destination as it is.
    bool BitBlt(DcHandle dest, int x, int y, int cx, int cy, DcHandle source, int sx, int sy,
                std::uint32_t rop);
    // Destination pixel (x + i, y + j) takes source pixel (sx + i * scx / cx,
    // sy + j * scy / cy), as Windows' stretching picks them.
    bool StretchBlt(DcHandle dest, int x, int y, int cx, int cy, DcHandle source, int sx, int sy,
                    int scx, int scy, std::uint32_t rop);
    bool DrawIcon(DcHandle dc, int x, int y, IconHandle icon);
    bool Fill(DcHandle dc, const Rect& area, const QColor& colour);

  private:
    struct Context {
        QPainter* painter = nullptr;  // a window's
        BitmapHandle selected{};      // a memory context's
    };
    std::uintptr_t NewHandle() { return m_nextHandle++; }
    const QImage* SelectedImage(DcHandle dc) const;
    // Draws on the context with its painter (a window's, or one on its bitmap).
    bool Paint(DcHandle dc, const std::function<void(QPainter&)>& draw);
    // Draws `image` at (x, y) of the context, replacing what is there or
    // blending in its transparent pixels.
    bool Draw(DcHandle dc, int x, int y, const QImage& image, QPainter::CompositionMode mode);

    std::uintptr_t m_nextHandle = 0x10000;
    std::map<BitmapHandle, QImage> m_bitmaps;
    std::map<int, IconHandle> m_iconsById;
    std::map<IconHandle, QIcon> m_icons;
    std::map<DcHandle, Context> m_contexts;
};

}  // namespace quotamin
