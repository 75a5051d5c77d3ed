// The D-Bus calls behind the Linux session terminator, over Qt's D-Bus module.

#include <unistd.h>

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QVariant>
#include <QtDBus/QDBusConnection>
#include <QtDBus/QDBusConnectionInterface>
#include <QtDBus/QDBusMessage>
#include <QtDBus/QDBusObjectPath>
#include <QtDBus/QDBusReply>
#include <QtDBus/QDBusVariant>
#include <cstdlib>
#include <type_traits>

#include "session/LinuxSessionCalls.h"
#include "session/LinuxSessionTerminator.h"

namespace quotamin {

namespace {

// The terminator runs on the window thread: a service that does not answer may
// hold the program up this long, not the bus library's 25 seconds.
constexpr int kCallTimeoutMs = 10000;

// What a failed call reports when Qt gives the error no name of its own.
constexpr const char* kUnnamedError = "org.freedesktop.DBus.Error.Failed";

QDBusConnection Connection(Bus bus) {
    return bus == Bus::Session ? QDBusConnection::sessionBus() : QDBusConnection::systemBus();
}

QString ToQt(const std::string& text) {
    return QString::fromStdString(text);
}

// False for a value this seam cannot send.
bool AppendArgument(const DBusValue& value, QList<QVariant>& arguments) {
    return std::visit(
        [&arguments](const auto& held) {
            using T = std::decay_t<decltype(held)>;
            if constexpr (std::is_same_v<T, std::monostate>) {
                return false;
            } else if constexpr (std::is_same_v<T, bool>) {
                arguments.append(QVariant(held));
            } else if constexpr (std::is_same_v<T, std::int32_t>) {
                arguments.append(QVariant(static_cast<qint32>(held)));
            } else if constexpr (std::is_same_v<T, std::uint32_t>) {
                arguments.append(QVariant(static_cast<quint32>(held)));
            } else if constexpr (std::is_same_v<T, std::string>) {
                arguments.append(QVariant(ToQt(held)));
            } else {
                arguments.append(QVariant::fromValue(QDBusObjectPath(ToQt(held.value))));
            }
            return true;
        },
        value);
}

DBusValue FromQt(QVariant value) {
    if (value.metaType() == QMetaType::fromType<QDBusVariant>()) {
        value = value.value<QDBusVariant>().variant();
    }
    switch (value.metaType().id()) {
        case QMetaType::Bool:
            return value.toBool();
        case QMetaType::Int:
            return static_cast<std::int32_t>(value.toInt());
        case QMetaType::UInt:
            return static_cast<std::uint32_t>(value.toUInt());
        case QMetaType::QString:
            return value.toString().toStdString();
        default:
            break;
    }
    if (value.metaType() == QMetaType::fromType<QDBusObjectPath>()) {
        return ObjectPath{value.value<QDBusObjectPath>().path().toStdString()};
    }
    return std::monostate{};
}

class QtSessionCalls final : public LinuxSessionCalls {
  public:
    bool HasOwner(Bus bus, const std::string& name) override {
        const QDBusConnection connection = Connection(bus);
        if (!connection.isConnected()) {
            return false;
        }
        // NameHasOwner: asks the bus only, so no service is started by the question.
        const QDBusReply<bool> owned = connection.interface()->isServiceRegistered(ToQt(name));
        return owned.isValid() && owned.value();
    }

    DBusReply Call(const DBusCall& call) override {
        QList<QVariant> arguments;
        for (const DBusValue& value : call.arguments) {
            if (!AppendArgument(value, arguments)) {
                return {"org.freedesktop.DBus.Error.InvalidArgs", {}};
            }
        }
        QDBusMessage message = QDBusMessage::createMethodCall(
            ToQt(call.service), ToQt(call.path), ToQt(call.interface), ToQt(call.method));
        message.setArguments(arguments);
        const QDBusMessage answer =
            Connection(call.bus).call(message, QDBus::Block, kCallTimeoutMs);

        DBusReply reply;
        if (answer.type() != QDBusMessage::ReplyMessage) {
            reply.error = answer.errorName().toStdString();
            if (reply.error.empty()) {
                reply.error = kUnnamedError;
            }
            return reply;
        }
        for (const QVariant& value : answer.arguments()) {
            reply.values.push_back(FromQt(value));
        }
        return reply;
    }

    std::uint32_t GetProcessId() override { return static_cast<std::uint32_t>(::getpid()); }

    std::optional<std::string> GetEnvironmentVariable(const char* name) override {
        const char* value = std::getenv(name);
        if (value == nullptr) {
            return std::nullopt;
        }
        return std::string(value);
    }
};

}  // namespace

std::unique_ptr<LinuxSessionCalls> MakeQtSessionCalls() {
    return std::make_unique<QtSessionCalls>();
}

std::unique_ptr<SessionTerminator> MakeNativeSessionTerminator() {
    return std::make_unique<LinuxSessionTerminator>(MakeQtSessionCalls());
}

}  // namespace quotamin
