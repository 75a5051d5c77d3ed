#pragma once
// The about box: the program's icon, name and version, and how to reach support.
// OK, Escape and the close box end it.

#include "platform/Dialog.h"

namespace quotamin {

class AboutDialog : public Dialog {
  public:
    explicit AboutDialog(WindowSystem& windowSystem);

  protected:
    void DoDataExchange(DataExchange& dx) override;
};

}  // namespace quotamin
