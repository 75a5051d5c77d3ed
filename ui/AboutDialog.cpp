#include "ui/AboutDialog.h"

#include "ui/ResourceIds.h"

namespace quotamin {

AboutDialog::AboutDialog(WindowSystem& windowSystem) : Dialog(windowSystem, IDD_ABOUTBOX) {}

void AboutDialog::DoDataExchange(DataExchange&) {}

}  // namespace quotamin
