#pragma once
// What the headless window system does with a message that a window leaves to
// it: the default window procedure, the dialog manager's (WM_CLOSE becomes
// IDCANCEL) and the controls' own (text, checks, clicks, typed characters); and
// what the dialog manager does with a key in the modal loop of the innermost
// window. The dialog manager's decisions come from the layer's rules.

#include "platform/WindowsHeaderOrder.h"

#include <cstdint>

#include "platform/WindowSystem.h"
#include "platform/headless/Lockstep.h"
#include "platform/headless/Raster.h"
#include "platform/headless/WindowModel.h"

namespace quotamin {

class DefaultWindowProcedure {
  public:
    // Messages it sends on go through `sender`, the window system it serves.
    DefaultWindowProcedure(WindowSystem& sender, WindowModel& windows, Raster& raster,
                           Lockstep& turns);

    LResult Process(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam);
    // Enter and Escape send their commands and Tab moves the focus; a message
    // box takes Enter and Escape as its OK button.
    void PressKey(WParam key, bool shift);

  private:
    LResult ProcessControl(WindowHandle control, std::uint32_t message, WParam wParam,
                           LParam lParam);
    void SendCommand(WindowHandle dialog, int id, WindowHandle control);

    WindowSystem& m_sender;
    WindowModel& m_windows;
    Raster& m_raster;
    Lockstep& m_turns;
};

}  // namespace quotamin
