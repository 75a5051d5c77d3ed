#pragma once
// The few D-Bus requests that end a Linux session, in plain standard types, so
// that the terminator's logic builds and can be driven without a bus. The Linux
// build makes them over Qt's D-Bus module; tests put a recording stand-in in
// their place.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace quotamin {

// The desktop's session managers live on the session bus, logind on the system bus.
enum class Bus { Session, System };

struct ObjectPath {
    std::string value;

    friend bool operator==(const ObjectPath&, const ObjectPath&) = default;
};

// One argument or result in its D-Bus type: b, i, u, s or o. A result of any
// other type arrives as std::monostate.
using DBusValue =
    std::variant<std::monostate, bool, std::int32_t, std::uint32_t, std::string, ObjectPath>;

struct DBusCall {
    Bus bus = Bus::Session;
    std::string service;
    std::string path;
    std::string interface;
    std::string method;
    std::vector<DBusValue> arguments;
};

// The answer to a call: the error's name when it was refused or could not be
// made, else the values it returned. A variant result, such as a property's
// value, arrives unwrapped.
struct DBusReply {
    std::string error;
    std::vector<DBusValue> values;

    bool Accepted() const { return error.empty(); }
};

class LinuxSessionCalls {
  public:
    virtual ~LinuxSessionCalls() = default;

    // Whether a program owns `name` on `bus` at this moment; false when the bus
    // cannot be reached. Never starts a service that is not running.
    virtual bool HasOwner(Bus bus, const std::string& name) = 0;
    // Makes the call and waits for its answer.
    virtual DBusReply Call(const DBusCall& call) = 0;
    virtual std::uint32_t GetProcessId() = 0;
    // The variable's value, or nothing when it is not set.
    virtual std::optional<std::string> GetEnvironmentVariable(const char* name) = 0;
};

#ifndef _WIN32
// The real calls, over the buses the environment names.
std::unique_ptr<LinuxSessionCalls> MakeQtSessionCalls();
#endif

}  // namespace quotamin
