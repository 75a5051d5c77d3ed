// The program's entry point: the system's own services, the application over
// them, and the main window for as long as the program lives.

#include "core/NativeSystem.h"
#include "platform/NativeWindowSystem.h"
#include "session/SessionTerminator.h"
#include "ui/ProgramResources.h"
#include "ui/QuotaminApp.h"
#include "ui/SessionUser.h"

int main() {
    quotamin::NativeSystem system;
    const std::unique_ptr<quotamin::WindowSystem> windowSystem =
        quotamin::MakeNativeWindowSystem(quotamin::ProgramResources());
    if (!quotamin::ClaimSession(*windowSystem)) {
        return 0;
    }
    const std::unique_ptr<quotamin::SessionTerminator> terminator =
        quotamin::MakeNativeSessionTerminator();
    quotamin::QuotaminApp app(system, *windowSystem, *terminator, quotamin::TraceLog(),
                              quotamin::SessionUserName);
    app.InitInstance();
    return 0;
}
