#pragma once
// Drawing: a drawing context, a memory context compatible with one, the paint
// context of a window and a bitmap loaded from the program's resources.

#include "platform/WindowsHeaderOrder.h"

#include <cstdint>

#include "platform/Geometry.h"
#include "platform/Handles.h"

namespace quotamin {

class WindowSystem;
class Bitmap;

// A drawing context that somebody else owns (the one WM_ERASEBKGND brings).
class DrawingContext {
  public:
    DrawingContext(WindowSystem& windowSystem, DcHandle dc)
        : m_windowSystem(windowSystem), m_dc(dc) {}
    DrawingContext(const DrawingContext&) = delete;
    DrawingContext& operator=(const DrawingContext&) = delete;

    DcHandle GetSafeHdc() const { return m_dc; }
    WindowSystem& GetWindowSystem() const { return m_windowSystem; }

    // Returns the bitmap selected before, to be selected back.
    BitmapHandle SelectObject(const Bitmap& bitmap);
    BitmapHandle SelectObject(BitmapHandle bitmap);
    bool BitBlt(int x, int y, int cx, int cy, const DrawingContext& source, int sx, int sy,
                std::uint32_t rop);
    bool StretchBlt(int x, int y, int cx, int cy, const DrawingContext& source, int sx, int sy,
                    int scx, int scy, std::uint32_t rop);
    bool DrawIcon(int x, int y, IconHandle icon);

  protected:
    ~DrawingContext() = default;

  private:
    WindowSystem& m_windowSystem;
    DcHandle m_dc;
};

// The context that WM_ERASEBKGND hands over; not ours to delete.
class BorrowedDrawingContext final : public DrawingContext {
  public:
    using DrawingContext::DrawingContext;
};

// A memory context compatible with another one, deleted with this object.
// Empty (false) when it could not be created.
class MemoryDrawingContext final : public DrawingContext {
  public:
    explicit MemoryDrawingContext(const DrawingContext& compatibleWith);
    ~MemoryDrawingContext();
    explicit operator bool() const { return GetSafeHdc() != DcHandle{}; }
};

// The paint context of a window during WM_PAINT (BeginPaint to EndPaint).
class PaintDC final : public DrawingContext {
  public:
    PaintDC(WindowSystem& windowSystem, WindowHandle window);
    ~PaintDC();

  private:
    WindowHandle m_window;
};

// A bitmap of the program's resources, deleted with this object.
class Bitmap {
  public:
    explicit Bitmap(WindowSystem& windowSystem) : m_windowSystem(windowSystem) {}
    ~Bitmap();
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;

    // Loads bitmap resource `resourceId`, replacing (and deleting) any bitmap
    // held before; false when there is no such bitmap, which leaves it empty.
    bool LoadBitmap(int resourceId);
    bool GetObject(BitmapInfo& info) const;
    BitmapHandle GetSafeHandle() const { return m_bitmap; }
    explicit operator bool() const { return m_bitmap != BitmapHandle{}; }

  private:
    void DeleteObject();
    WindowSystem& m_windowSystem;
    BitmapHandle m_bitmap{};
};

}  // namespace quotamin
