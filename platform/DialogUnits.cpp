#include "platform/DialogUnits.h"

#include <cstdint>

namespace quotamin {

namespace {

// number × numerator / denominator, rounded to the nearest integer, halves away
// from zero, as Win32's MulDiv computes it.
int ScaleRounded(int number, int numerator, int denominator) {
    const std::int64_t product = static_cast<std::int64_t>(number) * numerator;
    const std::int64_t half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : (product - half) / denominator);
}

}  // namespace

int HorizontalPixels(int units, DialogBaseUnits base) {
    return ScaleRounded(units, base.x, 4);
}

int VerticalPixels(int units, DialogBaseUnits base) {
    return ScaleRounded(units, base.y, 8);
}

Rect MapDialogRect(const Rect& units, DialogBaseUnits base) {
    return {HorizontalPixels(units.left, base), VerticalPixels(units.top, base),
            HorizontalPixels(units.right, base), VerticalPixels(units.bottom, base)};
}

Rect ControlRect(const ControlTemplate& control, DialogBaseUnits base) {
    const int left = HorizontalPixels(control.x, base);
    const int top = VerticalPixels(control.y, base);
    return {left, top, left + HorizontalPixels(control.cx, base),
            top + VerticalPixels(control.cy, base)};
}

Rect ClientRect(const DialogTemplate& dialog, DialogBaseUnits base) {
    return {0, 0, HorizontalPixels(dialog.cx, base), VerticalPixels(dialog.cy, base)};
}

}  // namespace quotamin
