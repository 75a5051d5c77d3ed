#pragma once
// Ends a Linux desktop session over D-Bus. Log-off asks the desktop's session
// manager to log out without its confirmation dialog (GNOME, KDE Plasma, Xfce,
// in that order, whichever is running); on a desktop without one of them logind
// ends the program's own session. The forced shutdown is logind's power-off
// without interactive authorisation. Holds nothing but the calls it makes; every
// request starts from nothing.

#include <memory>
#include <optional>
#include <string>

#include "session/LinuxSessionCalls.h"
#include "session/SessionTerminator.h"

namespace quotamin {

class LinuxSessionTerminator final : public SessionTerminator {
  public:
    explicit LinuxSessionTerminator(std::unique_ptr<LinuxSessionCalls> calls);

    bool LogOff() override;
    bool ForceShutdown() override;

  private:
    bool TerminateOwnSession();
    std::optional<std::string> OwnSessionId();

    std::unique_ptr<LinuxSessionCalls> m_calls;
};

}  // namespace quotamin
