// Outside Windows the program has no session it could end yet.

#include <memory>

#include "session/InertSessionTerminator.h"

namespace quotamin {

std::unique_ptr<SessionTerminator> MakeNativeSessionTerminator() {
    return std::make_unique<InertSessionTerminator>();
}

}  // namespace quotamin
