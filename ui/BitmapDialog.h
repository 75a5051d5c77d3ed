#pragma once
// A dialog that paints a bitmap of the program's resources as the background
// of its client area, tiled, centred or stretched, each time the background is
// erased.

#include "platform/Dialog.h"
#include "platform/Drawing.h"

namespace quotamin {

class BitmapDialog : public Dialog {
  public:
    enum Mode { BitmapTile = 0, BitmapCenter = 1, BitmapStretch = 2 };

    BitmapDialog(WindowSystem& windowSystem, int templateId);

    // Any value other than the three modes is ignored.
    void SetMode(int mode);
    int GetMode() const { return m_mode; }
    // Loads the bitmap resource named by the low 16 bits of `resourceId`,
    // replacing the one held before. Returns 0 when it was loaded, 1 when not
    // (the background then stays plain).
    int LoadBitmap(unsigned int resourceId);

  protected:
    // Lets the default erase the background, then draws the bitmap; always true.
    bool OnEraseBkgnd(DrawingContext& dc) override;

  private:
    Bitmap m_bitmap;
    int m_mode = BitmapTile;
};

}  // namespace quotamin
