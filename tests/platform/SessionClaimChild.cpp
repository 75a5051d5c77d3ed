// A later start of the program as the session claim sees it: claims the
// session named on its command line and tells by its exit code what became of
// it. With "die" it ends at once without letting go, as a copy that crashed.

#include <unistd.h>

#include <QtCore/QCoreApplication>
#include <cstring>

#include "platform/qt/SessionClaim.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        return 2;
    }
    QCoreApplication application(argc, argv);
    quotamin::SessionClaim claim(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]),
                                 [] {});
    const quotamin::SessionClaim::Outcome outcome = claim.Claim();
    if (argc > 3 && std::strcmp(argv[3], "die") == 0) {
        ::_exit(0);
    }
    switch (outcome) {
        case quotamin::SessionClaim::Outcome::Claimed:
            return 10;
        case quotamin::SessionClaim::Outcome::HandedOver:
            return 11;
        case quotamin::SessionClaim::Outcome::Unclaimed:
            return 12;
    }
    return 3;
}
