#include "platform/Drawing.h"

#include "platform/WindowSystem.h"

namespace quotamin {

BitmapHandle DrawingContext::SelectObject(const Bitmap& bitmap) {
    return SelectObject(bitmap.GetSafeHandle());
}

BitmapHandle DrawingContext::SelectObject(BitmapHandle bitmap) {
    return windowSystem_.SelectObject(dc_, bitmap);
}

bool DrawingContext::BitBlt(int x, int y, int cx, int cy, const DrawingContext& source, int sx,
                            int sy, std::uint32_t rop) {
    return windowSystem_.BitBlt(dc_, x, y, cx, cy, source.dc_, sx, sy, rop);
}

bool DrawingContext::StretchBlt(int x, int y, int cx, int cy, const DrawingContext& source, int sx,
                                int sy, int scx, int scy, std::uint32_t rop) {
    return windowSystem_.StretchBlt(dc_, x, y, cx, cy, source.dc_, sx, sy, scx, scy, rop);
}

bool DrawingContext::DrawIcon(int x, int y, IconHandle icon) {
    return windowSystem_.DrawIcon(dc_, x, y, icon);
}

MemoryDrawingContext::MemoryDrawingContext(const DrawingContext& compatibleWith)
    : DrawingContext(
          compatibleWith.GetWindowSystem(),
          compatibleWith.GetWindowSystem().CreateCompatibleDC(compatibleWith.GetSafeHdc())) {}

MemoryDrawingContext::~MemoryDrawingContext() {
    if (*this) {
        GetWindowSystem().DeleteDC(GetSafeHdc());
    }
}

PaintDC::PaintDC(WindowSystem& windowSystem, WindowHandle window)
    : DrawingContext(windowSystem, windowSystem.BeginPaint(window)), window_(window) {}

PaintDC::~PaintDC() {
    GetWindowSystem().EndPaint(window_, GetSafeHdc());
}

Bitmap::~Bitmap() {
    DeleteObject();
}

bool Bitmap::LoadBitmap(int resourceId) {
    DeleteObject();
    bitmap_ = windowSystem_.LoadBitmap(resourceId);
    return bitmap_ != BitmapHandle{};
}

bool Bitmap::GetObject(BitmapInfo& info) const {
    return bitmap_ != BitmapHandle{} && windowSystem_.GetObject(bitmap_, info);
}

void Bitmap::DeleteObject() {
    if (bitmap_ != BitmapHandle{}) {
        windowSystem_.DeleteObject(bitmap_);
        bitmap_ = BitmapHandle{};
    }
}

}  // namespace quotamin
