#pragma once
// Counts the minute ticks of a run, charges the user's balance and decides
// what the main window shows and whether the session may go on.

#include <cstdint>
#include <string>

namespace quotamin {

class QuotaminConfig;

struct StatusReport {
    std::string text;      // the status box's whole text
    bool showWindow;       // the main window comes to the front
    bool continueSession;  // false: the session is to end now
};

class MinuteAccount {
  public:
    // Counts one tick and returns the new count.
    std::int32_t CountMinute();
    // Takes one minute off an enabled, positive balance and saves the record.
    // Lets the FileError of a failed save through; the minute is gone from memory then.
    void ChargeMinute(QuotaminConfig& config) const;
    StatusReport Evaluate(const QuotaminConfig& config) const;
    std::string TooltipText(const QuotaminConfig& config) const;

    std::int32_t m_elapsed = 0;
    std::int32_t m_panicAt = 1;
    std::int32_t m_warnAt = 5;
};

}  // namespace quotamin
