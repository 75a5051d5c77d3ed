#pragma once
// The main window: the status and login window behind the notification-area
// icon. Its two timers drive the whole program: the minute timer counts and
// charges the user's minutes and ends the session when none are left; the hide
// timer hides the window a second after start-up.

#include <cstdint>
#include <optional>
#include <string>

#include "core/MinuteAccount.h"
#include "core/MinuteTick.h"
#include "platform/Controls.h"
#include "ui/BitmapDialog.h"
#include "ui/ResourceIds.h"

namespace quotamin {

class QuotaminApp;
class QuotaminConfig;

class MainDialog : public BitmapDialog, private MinuteTickSteps {
  public:
    explicit MainDialog(QuotaminApp& app);

    // Applies an evaluation of the settings to the window: the status text,
    // and the window to the front when the status asks for it. 1 when the
    // session goes on, 0 when it is to end.
    int UpdateStatus() override;
    void ShowAndActivate();
    // Adds, refreshes or removes the notification-area icon.
    bool TrayMessage(std::uint32_t message);

    void StartMinuteTimer();
    void StopMinuteTimer() override;
    void StartHideTimer(int seconds);
    void StopHideTimer();

    static constexpr int kTemplateId = IDD_QUOTAMIN_DIALOG;
    static constexpr int kPasswordEditId = IDC_PASSWORD;
    static constexpr int kStatusEditId = IDC_STATUS;
    static constexpr int kLoginButtonId = IDC_LOGIN;
    static constexpr int kCloseButtonId = IDC_CLOSE;
    static constexpr int kAboutCommand = IDM_ABOUTBOX;
    static constexpr std::uint32_t kMinuteMilliseconds = 60000;

  protected:
    void DoDataExchange(DataExchange& dx) override;
    LResult WindowProc(std::uint32_t message, WParam wParam, LParam lParam) override;
    bool OnInitDialog() override;
    // The login.
    void OnOK() override;
    // Close, Escape and the close box only hide the window.
    void OnCancel() override;
    bool OnCommand(int id) override;
    void OnTimer(std::uintptr_t id) override;
    void OnPaint() override;
    void OnSysCommand(std::uint32_t id, LParam lParam) override;
    IconHandle OnQueryDragIcon() override;
    void OnDestroy() override;

  private:
    QuotaminConfig& GetConfig();
    // The main window's steps of the minute tick (core/MinuteTick.h).
    void LogMinute(std::int32_t elapsed) override;
    void RefreshTrayIcon() override;
    void EndSession() override;
    // Shows why the settings could not be saved, one message at a time, so
    // that a lasting failure does not pile up a box every minute.
    void ReportSaveFailure(const std::string& text) override;
    // Shows why the save at start-up failed, once the start-up status has had
    // its second (the hide timer's tick, Close or a login, whichever is first).
    void ReportStartUpFailure();

    QuotaminApp& m_app;
    Edit m_passwordEdit;
    Edit m_statusEdit;
    IconHandle m_icon;
    std::uintptr_t m_minuteTimerId = 1;
    std::uintptr_t m_hideTimerId = 2;
    MinuteAccount m_account;
    std::optional<std::string> m_startupSaveFailure;
    bool m_reportingSaveFailure = false;
};

}  // namespace quotamin
