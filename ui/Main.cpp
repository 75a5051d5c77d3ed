// The program's entry point. For now it shows the about box; the application
// object with the main window takes its place.

#include "platform/NativeWindowSystem.h"
#include "ui/AboutDialog.h"
#include "ui/ProgramResources.h"

int main() {
    std::unique_ptr<quotamin::WindowSystem> windowSystem =
        quotamin::MakeNativeWindowSystem(quotamin::ProgramResources());
    quotamin::AboutDialog about(*windowSystem);
    about.DoModal();
    return 0;
}
