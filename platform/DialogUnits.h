#pragma once
// Dialog units, the measure of dialog templates, and how the dialog manager
// turns them into pixels: a horizontal unit is a quarter of the template font's
// average character width, a vertical unit an eighth of its height, each
// conversion rounded to the nearest pixel (halves away from zero).

#include "platform/Geometry.h"
#include "platform/Resources.h"

namespace quotamin {

// The template font's average character width and height, in pixels.
struct DialogBaseUnits {
    int x = 0;
    int y = 0;
};

// MS Sans Serif 8 on a screen of 96 dots per inch, the font of every template
// of the program, as Windows measures it.
inline constexpr DialogBaseUnits kMsSansSerif8BaseUnits{6, 13};

int HorizontalPixels(int units, DialogBaseUnits base);
int VerticalPixels(int units, DialogBaseUnits base);

// MapDialogRect: each of the four edges converted on its own.
Rect MapDialogRect(const Rect& units, DialogBaseUnits base);

// Where the dialog manager puts a control of a template, in the dialog's client
// coordinates: its position and its size are converted each on its own, so the
// right and bottom edges can lie one pixel off MapDialogRect of the template's.
Rect ControlRect(const ControlTemplate& control, DialogBaseUnits base);

// A dialog's client area: its template's size.
Rect ClientRect(const DialogTemplate& dialog, DialogBaseUnits base);

}  // namespace quotamin
