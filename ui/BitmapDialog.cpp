#include "ui/BitmapDialog.h"

#include "platform/Messages.h"

namespace quotamin {

BitmapDialog::BitmapDialog(WindowSystem& windowSystem, int templateId)
    : Dialog(windowSystem, templateId), m_bitmap(windowSystem) {}

void BitmapDialog::SetMode(int mode) {
    if (mode == BitmapTile || mode == BitmapCenter || mode == BitmapStretch) {
        m_mode = mode;
    }
}

int BitmapDialog::LoadBitmap(unsigned int resourceId) {
    return m_bitmap.LoadBitmap(static_cast<int>(resourceId & 0xFFFF)) ? 0 : 1;
}

bool BitmapDialog::OnEraseBkgnd(DrawingContext& dc) {
    Default();
    if (!m_bitmap) {
        return true;
    }
    const Rect client = GetClientRect();
    const int width = client.Width();
    const int height = client.Height();

    MemoryDrawingContext memory(dc);
    if (!memory) {
        return true;
    }
    const BitmapHandle previous = memory.SelectObject(m_bitmap);
    BitmapInfo info;
    m_bitmap.GetObject(info);
    const int w = info.bmWidth;
    const int h = info.bmHeight;

    if (width > 0 && height > 0 && w > 0 && h > 0) {
        switch (m_mode) {
            case BitmapTile:
                // Each copy is as large as the client area; the next one covers
                // what it drew beyond the bitmap, so every pixel (X, Y) ends up
                // as bitmap pixel (X mod w, Y mod h).
                for (int y = 0; y < height; y += h) {
                    for (int x = 0; x < width; x += w) {
                        dc.BitBlt(x, y, width, height, memory, 0, 0, SRCCOPY);
                    }
                }
                break;
            case BitmapCenter: {
                // Only the bitmap itself, so that the strips beside it keep the
                // plain background.
                const int x = w < width ? (width - w) / 2 : 0;
                const int y = h < height ? (height - h) / 2 : 0;
                dc.BitBlt(x, y, w, h, memory, 0, 0, SRCCOPY);
                break;
            }
            case BitmapStretch:
                dc.StretchBlt(0, 0, width, height, memory, 0, 0, w, h, SRCCOPY);
                break;
        }
    }
    memory.SelectObject(previous);
    return true;
}

}  // namespace quotamin
