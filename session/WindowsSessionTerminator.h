#pragma once
// Ends a Windows session: log-off through ExitWindowsEx, and the forced shutdown
// after enabling the shutdown privilege in the process's token. Holds nothing
// but the calls it makes; every request starts from nothing.

#include <memory>

#include "session/SessionTerminator.h"
#include "session/WindowsSessionCalls.h"

namespace quotamin {

class WindowsSessionTerminator final : public SessionTerminator {
  public:
    explicit WindowsSessionTerminator(std::unique_ptr<WindowsSessionCalls> calls);

    bool LogOff() override;
    bool ForceShutdown() override;

  private:
    bool EnableShutdownPrivilege();

    std::unique_ptr<WindowsSessionCalls> m_calls;
};

}  // namespace quotamin
