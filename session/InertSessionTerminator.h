#pragma once
// The terminator for systems the program cannot end a session on yet: it ends
// nothing and reports every request as refused.

#include "session/SessionTerminator.h"

namespace quotamin {

class InertSessionTerminator final : public SessionTerminator {
  public:
    bool LogOff() override { return false; }
    bool ForceShutdown() override { return false; }
};

}  // namespace quotamin
