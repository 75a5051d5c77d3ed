#pragma once
// The administration dialog: the daily allowance, today's balance, whether
// rationing applies and what happens when the time runs out, for the user of
// the session. It works on the application's one settings record.

#include <cstdint>

#include "platform/Controls.h"
#include "platform/Dialog.h"
#include "ui/ResourceIds.h"

namespace quotamin {

class QuotaminApp;

class AdminDialog : public Dialog {
  public:
    explicit AdminDialog(QuotaminApp& app);

    // The end code of "Shutdown Quotamin": the program is to end.
    static constexpr std::intptr_t ResultQuitProgram = 16;

    static constexpr int kTemplateId = IDD_ADMIN_DIALOG;
    static constexpr int kLogoffRadioId = IDC_LOGOFF_RADIO;
    static constexpr int kShutdownRadioId = IDC_SHUTDOWN_RADIO;
    static constexpr int kMinutesAllowedEditId = IDC_MINUTES_ALLOWED;
    static constexpr int kMinutesRemainingEditId = IDC_MINUTES_REMAINING;
    static constexpr int kEnableCheckId = IDC_ENABLE_CHECK;
    static constexpr int kShutdownProgramButtonId = IDC_SHUTDOWN_PROGRAM;
    static constexpr int kChangePasswordButtonId = IDC_CHANGE_PASSWORD;
    static constexpr int kUserNameEditId = IDC_USER_NAME;

  protected:
    void DoDataExchange(DataExchange& dx) override;
    bool OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(int id) override;

  private:
    void OnChangePassword();
    void OnShutdownProgram();

    QuotaminApp& m_app;
    Edit m_userNameEdit;
    Edit m_minutesAllowedEdit;
    Button m_shutdownRadio;
    Button m_logoffRadio;
    Button m_enableCheck;
    Edit m_minutesRemainingEdit;
};

}  // namespace quotamin
