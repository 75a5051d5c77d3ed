#include "platform/qt/SessionClaim.h"

#include <QtCore/QByteArray>
#include <QtCore/QDeadlineTimer>
#include <QtCore/QStandardPaths>
#include <QtCore/QThread>
#include <QtNetwork/QLocalSocket>

namespace quotamin {

namespace {

const QByteArray kShowRequest = "show\n";
const QByteArray kShownReply = "shown\n";

// A copy that is starting up holds the lock a moment before it listens.
constexpr int kPatienceMs = 10000;
constexpr int kStepMs = 200;

QString Sanitised(const QString& name) {
    QString safe;
    for (const QChar c : name) {
        safe.append(c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('.')
                        ? c
                        : QLatin1Char('_'));
    }
    return safe;
}

}  // namespace

SessionClaim::SessionClaim(const QString& directory, const QString& session,
                           std::function<void()> show)
    : m_socketPath(directory + QStringLiteral("/quotamin-") + Sanitised(session) +
                   QStringLiteral(".socket")),
      m_lock(directory + QStringLiteral("/quotamin-") + Sanitised(session) +
             QStringLiteral(".lock")),
      m_show(std::move(show)) {
    // Only a dead holder makes a lock stale, however long a copy runs.
    m_lock.setStaleLockTime(0);
}

SessionClaim::~SessionClaim() {
    if (m_server) {
        m_server->close();
    }
}

QString SessionClaim::ThisSession() {
    const QByteArray session = qgetenv("XDG_SESSION_ID");
    if (!session.isEmpty()) {
        return QStringLiteral("session-") + QString::fromLocal8Bit(session);
    }
    const QByteArray display =
        qEnvironmentVariableIsSet("DISPLAY") ? qgetenv("DISPLAY") : qgetenv("WAYLAND_DISPLAY");
    return QStringLiteral("display-") + QString::fromLocal8Bit(display);
}

QString SessionClaim::RuntimeDirectory() {
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

SessionClaim::Outcome SessionClaim::Claim() {
    const QDeadlineTimer patience(kPatienceMs);
    while (true) {
        if (m_lock.tryLock(0)) {
            Listen();
            return Outcome::Claimed;
        }
        if (m_lock.error() != QLockFile::LockFailedError) {
            return Outcome::Unclaimed;
        }
        if (AskTheRunningCopy()) {
            return Outcome::HandedOver;
        }
        if (patience.hasExpired()) {
            // A live copy holds the session but does not answer: it still
            // rations it, and a second one would charge the minutes twice.
            return Outcome::HandedOver;
        }
        QThread::msleep(kStepMs);
    }
}

bool SessionClaim::AskTheRunningCopy() {
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    if (!socket.waitForConnected(kStepMs * 5)) {
        return false;
    }
    socket.write(kShowRequest);
    if (!socket.waitForBytesWritten(kPatienceMs)) {
        return false;
    }
    QByteArray reply;
    while (!reply.endsWith('\n') && socket.waitForReadyRead(kPatienceMs)) {
        reply += socket.readAll();
    }
    return reply == kShownReply;
}

void SessionClaim::Listen() {
    // A socket that a dead copy left behind would stop the listening.
    QLocalServer::removeServer(m_socketPath);
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    QObject::connect(m_server.get(), &QLocalServer::newConnection, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
                if (!socket->canReadLine()) {
                    return;
                }
                const bool show = socket->readLine() == kShowRequest;
                if (show) {
                    socket->write(kShownReply);
                    socket->flush();
                }
                socket->disconnectFromServer();
                if (show) {
                    m_show();
                }
            });
        }
    });
    m_server->listen(m_socketPath);
}

}  // namespace quotamin
