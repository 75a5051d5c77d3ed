#pragma once
// One tick of the minute timer, in its fixed order: the tick is counted
// (CountMinute), the window writes the tick's log line, the minute is charged
// and saved (ChargeMinute), the icon's tooltip is refreshed, the status is
// evaluated and applied (UpdateStatus), and at a verdict to end the minute
// timer stops and the session ends, once. The main window runs it on every
// tick of its minute timer with itself as the steps; a test runs it with steps
// that record.

#include <cstdint>
#include <string>

namespace quotamin {

class MinuteAccount;
class QuotaminConfig;

// What the tick asks of the window that owns the account.
class MinuteTickSteps {
  public:
    // The log line of the tick, with the new count.
    virtual void LogMinute(std::int32_t elapsed) = 0;
    // The icon's tooltip from the settings as they are now.
    virtual void RefreshTrayIcon() = 0;
    // Applies an evaluation of the settings; 1 when the session goes on, 0
    // when it is to end.
    virtual int UpdateStatus() = 0;
    virtual void StopMinuteTimer() = 0;
    // Log-off or forced shutdown, as the settings say.
    virtual void EndSession() = 0;
    // A save of the charged minute that failed, with the error's text, once
    // the rest of the tick is done: the minute is gone from memory all the
    // same, and the session still ends on time.
    virtual void ReportSaveFailure(const std::string& text) = 0;

  protected:
    ~MinuteTickSteps() = default;
};

void MinuteTick(MinuteAccount& account, QuotaminConfig& config, MinuteTickSteps& window);

}  // namespace quotamin
