#include "core/MinuteTick.h"

#include <optional>

#include "core/FileError.h"
#include "core/MinuteAccount.h"

namespace quotamin {

void MinuteTick(MinuteAccount& account, QuotaminConfig& config, MinuteTickSteps& window) {
    window.LogMinute(account.CountMinute());
    std::optional<std::string> saveFailure;
    try {
        account.ChargeMinute(config);
    } catch (const FileError& error) {
        saveFailure = error.what();
    }
    window.RefreshTrayIcon();
    if (window.UpdateStatus() == 0) {
        window.StopMinuteTimer();
        window.EndSession();
    }
    if (saveFailure) {
        window.ReportSaveFailure(*saveFailure);
    }
}

}  // namespace quotamin
