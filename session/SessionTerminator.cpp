#include "session/SessionTerminator.h"

#include "core/QuotaminConfig.h"

namespace quotamin {

bool EndSession(SessionTerminator& terminator, const QuotaminConfig& config) {
    if (config.m_logoffOnExpiry == 1) {
        return terminator.LogOff();
    }
    return terminator.ForceShutdown();
}

}  // namespace quotamin
