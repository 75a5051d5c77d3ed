#pragma once
// Ends the user's session when the time for today is used up: a log-off that
// asks the other applications to close, or a forced shutdown.

#include <memory>

namespace quotamin {

class QuotaminConfig;

class SessionTerminator {
  public:
    virtual ~SessionTerminator() = default;

    // Starts logging the user off and returns at once; true when the system took the request.
    virtual bool LogOff() = 0;
    // Shuts the computer down, closing applications by force and never restarting
    // it (Windows stops where it can be switched off, logind powers it off); true
    // only when the shutdown request itself was accepted.
    virtual bool ForceShutdown() = 0;
};

// The terminator of the system the program runs on.
std::unique_ptr<SessionTerminator> MakeNativeSessionTerminator();

// Ends the session the way the administrator chose: m_logoffOnExpiry 1 logs the
// user off, any other value shuts the computer down. Makes exactly one call and
// returns its result.
bool EndSession(SessionTerminator& terminator, const QuotaminConfig& config);

}  // namespace quotamin
