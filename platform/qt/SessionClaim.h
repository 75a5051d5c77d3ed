#pragma once
// At most one copy of the program rations a desktop session: two would each
// take a minute off every minute. The first copy holds a lock file for the
// session and listens on a local socket beside it; a later start finds the
// lock held by a live copy, asks that copy through the socket to show its
// window, as a click on its icon does, and ends. So a desktop without a
// notification area still lets the administrator reach the login: start the
// program once more. A lock left by a copy that died is taken over.

#include "platform/WindowsHeaderOrder.h"

#include <QtCore/QLockFile>
#include <QtCore/QString>
#include <QtNetwork/QLocalServer>
#include <functional>
#include <memory>

namespace quotamin {

class SessionClaim {
  public:
    enum class Outcome {
        Claimed,     // this copy rations the session
        HandedOver,  // a copy that runs has it; this one is to end
        Unclaimed,   // no lock could be made here: this copy runs on its own
    };

    // The lock and the socket are `directory`/quotamin-`session`.lock and
    // .socket; `show` is what a later start asks of this copy.
    SessionClaim(const QString& directory, const QString& session, std::function<void()> show);
    ~SessionClaim();
    SessionClaim(const SessionClaim&) = delete;
    SessionClaim& operator=(const SessionClaim&) = delete;

    Outcome Claim();

    // The session of this desktop: logind's id of it where the session
    // manager gives one (XDG_SESSION_ID), else the display's name; and the
    // user's runtime directory.
    static QString ThisSession();
    static QString RuntimeDirectory();

  private:
    bool AskTheRunningCopy();
    void Listen();

    QString m_socketPath;
    QLockFile m_lock;
    std::function<void()> m_show;
    std::unique_ptr<QLocalServer> m_server;
};

}  // namespace quotamin
