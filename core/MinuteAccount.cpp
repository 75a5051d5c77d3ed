#include "core/MinuteAccount.h"

#include "core/QuotaminConfig.h"

namespace quotamin {

std::int32_t MinuteAccount::CountMinute() {
    return ++m_elapsed;
}

void MinuteAccount::ChargeMinute(QuotaminConfig& config) const {
    if (config.m_enabled != 0 && config.m_minutesRemaining > 0) {
        --config.m_minutesRemaining;
        config.Save();
    }
}

StatusReport MinuteAccount::Evaluate(const QuotaminConfig& config) const {
    const std::int32_t remaining = config.m_minutesRemaining;
    const std::string minutes = std::to_string(remaining);
    StatusReport report{"\r\n", false, true};
    if (config.m_enabled == 0) {
        report.text += "Quota-min is disabled.";
    } else if (remaining == 0 && m_elapsed <= 1) {
        report.text +=
            "Sorry, no more time left - you have a one-minute grace period during which the "
            "administrator can login and change the settings.";
        report.showWindow = true;
    } else if (remaining == 0) {
        report.text += "Sorry, no more time left - logging off right now";
        report.showWindow = true;
        report.continueSession = false;
    } else if (remaining == m_panicAt) {
        report.text +=
            "PANIC!!! You have only " + minutes + " minutes remaining - please log off now";
        report.showWindow = true;
    } else if (remaining == m_warnAt) {
        report.text += "WARNING!!! You have just " + minutes +
                       " minutes remaining before you will be logged off";
        report.showWindow = true;
    } else {
        report.text +=
            "You still have " + minutes + " minutes remaining before you will be logged off";
    }
    return report;
}

std::string MinuteAccount::TooltipText(const QuotaminConfig& config) const {
    if (config.m_enabled != 0) {
        return config.m_userName + ", " + std::to_string(config.m_minutesRemaining) +
               " minutes remaining";
    }
    return config.m_userName + ", Quotamin disabled";
}

}  // namespace quotamin
