// The Linux desktop's window system is the Qt one.

#include "platform/NativeWindowSystem.h"
#include "platform/qt/QtWindowSystem.h"

namespace quotamin {

std::unique_ptr<WindowSystem> MakeNativeWindowSystem(const ResourceTable& resources) {
    return std::make_unique<QtWindowSystem>(resources);
}

bool ClaimSession(WindowSystem& windowSystem) {
    auto* qt = dynamic_cast<QtWindowSystem*>(&windowSystem);
    const QString directory = SessionClaim::RuntimeDirectory();
    // Without a directory of the user's own there is nothing to hold: this
    // copy rations the session on its own, as on Windows.
    return qt == nullptr || directory.isEmpty() ||
           qt->ClaimSession(directory, SessionClaim::ThisSession());
}

}  // namespace quotamin
