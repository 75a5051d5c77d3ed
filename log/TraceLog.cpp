#include "log/TraceLog.h"

#include "log/SharedAppend.h"

namespace quotamin {

TraceLog::TraceLog() : TraceLog(DefaultPath(), &TraceLog::LocalClock) {}

TraceLog::TraceLog(std::string path, Clock clock)
    : m_path(std::move(path)), m_clock(std::move(clock)) {}

std::string TraceLog::DefaultPath() {
#ifdef _WIN32
    return "C:\\quotamin.log";
#else
    return "/var/log/quotamin.log";
#endif
}

std::optional<std::tm> TraceLog::LocalClock() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    if (localtime_s(&local, &now) != 0) {
        return std::nullopt;
    }
#else
    if (localtime_r(&now, &local) == nullptr) {
        return std::nullopt;
    }
#endif
    return local;
}

namespace {

// A field of the stamp: at least two digits, a leading zero before a single
// one. Fields of a valid time are never negative; an invalid one keeps its
// sign ("-5") rather than turning into a plausible time.
void TwoDigits(LineStream& out, int field) {
    if (field >= 0 && field < 10) {
        out << '0';
    }
    out << static_cast<std::int32_t>(field);
}

}  // namespace

std::string TraceLog::FormatStamp(const std::tm& time) {
    // Built from the fields, so that no locale or platform changes its form.
    // tm_year counts from 1900, a whole number of centuries, so its last two
    // digits are the year's; adding 1900 first would overflow for the far
    // years a clock set wildly wrong gives.
    LineStream stamp;
    TwoDigits(stamp, (time.tm_mon + 1) % 100);
    stamp << '/';
    TwoDigits(stamp, time.tm_mday % 100);
    stamp << '/';
    TwoDigits(stamp, (time.tm_year % 100 + 100) % 100);
    stamp << ' ';
    TwoDigits(stamp, time.tm_hour % 100);
    stamp << ':';
    TwoDigits(stamp, time.tm_min % 100);
    stamp << ':';
    TwoDigits(stamp, time.tm_sec % 100);
    return stamp.Text();
}

LineStream& TraceLog::BeginLine() {
    m_lineStream.emplace();
    const std::optional<std::tm> now = m_clock ? m_clock() : std::nullopt;
    if (now) {
        *m_lineStream << FormatStamp(*now);
    }
    *m_lineStream << ": ";
    return *m_lineStream;
}

void TraceLog::EndLine() {
    if (!m_lineStream) {
        return;
    }
    // The file holds lines ended by CR LF; a line feed in the text gets its CR too.
    std::string line;
    for (const char c : m_lineStream->Text()) {
        if (c == '\n') {
            line += '\r';
        }
        line += c;
    }
    line += "\r\n";
    m_lineStream.reset();
    AppendShared(m_path, line);
}

}  // namespace quotamin
