#include "platform/Drawing.h"

#include "platform/WindowSystem.h"

namespace quotamin {

BitmapHandle DrawingContext::SelectObject(const Bitmap& bitmap) {
    return SelectObject(bitmap.GetSafeHandle());
}

BitmapHandle DrawingContext::SelectObject(BitmapHandle bitmap) {
    return m_windowSystem.SelectObject(m_dc, bitmap);
}

bool DrawingContext::BitBlt(int x, int y, int cx, int cy, const DrawingContext& source, int sx,
                            int sy, std::uint32_t rop) {
    return m_windowSystem.BitBlt(m_dc, x, y, cx, cy, source.m_dc, sx, sy, rop);
}

bool DrawingContext::StretchBlt(int x, int y, int cx, int cy, const DrawingContext& source, int sx,
                                int sy, int scx, int scy, std::uint32_t rop) {
    return m_windowSystem.StretchBlt(m_dc, x, y, cx, cy, source.m_dc, sx, sy, scx, scy, rop);
}

bool DrawingContext::DrawIcon(int x, int y, IconHandle icon) {
    return m_windowSystem.DrawIcon(m_dc, x, y, icon);
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
    : DrawingContext(windowSystem, windowSystem.BeginPaint(window)), m_window(window) {}

PaintDC::~PaintDC() {
    GetWindowSystem().EndPaint(m_window, GetSafeHdc());
}

Bitmap::~Bitmap() {
    DeleteObject();
}

bool Bitmap::LoadBitmap(int resourceId) {
    DeleteObject();
    m_bitmap = m_windowSystem.LoadBitmap(resourceId);
    return m_bitmap != BitmapHandle{};
}

bool Bitmap::GetObject(BitmapInfo& info) const {
    return m_bitmap != BitmapHandle{} && m_windowSystem.GetObject(m_bitmap, info);
}

void Bitmap::DeleteObject() {
    if (m_bitmap != BitmapHandle{}) {
        m_windowSystem.DeleteObject(m_bitmap);
        m_bitmap = BitmapHandle{};
    }
}

}  // namespace quotamin
