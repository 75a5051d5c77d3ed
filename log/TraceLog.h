#pragma once
// The diagnostic log: one time-stamped line per event, appended to a file that
// every session of the computer shares. It never fails loudly: a line that
// cannot be written is dropped.

#include <ctime>
#include <functional>
#include <optional>
#include <string>

#include "log/LineStream.h"

namespace quotamin {

class TraceLog {
  public:
    // The local time now, or nothing when the clock cannot be read as a local date.
    using Clock = std::function<std::optional<std::tm>()>;

    // The program's log: the fixed log file and the local clock.
    TraceLog();
    TraceLog(std::string path, Clock clock);

    // Starts a line with its time stamp; the caller writes its text into the
    // returned stream and then calls EndLine.
    LineStream& BeginLine();
    // Appends the line to the file in one write. Does nothing when no line is open.
    void EndLine();

    // "C:\quotamin.log" on Windows.
    static std::string DefaultPath();
    static std::optional<std::tm> LocalClock();
    // "MM/DD/YY hh:mm:ss".
    static std::string FormatStamp(const std::tm& time);

  private:
    std::string m_path;
    Clock m_clock;
    std::optional<LineStream> m_lineStream;
};

}  // namespace quotamin
