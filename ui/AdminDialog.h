#pragma once
// The administration dialog: the daily allowance, today's balance, whether
// rationing applies and what happens when the time runs out, for the user of
// the session. It works on the application's one settings record.

#include <cstdint>

#include "platform/Controls.h"
#include "platform/Dialog.h"

namespace quotamin {

class QuotaminApp;

class AdminDialog : public Dialog {
  public:
    explicit AdminDialog(QuotaminApp& app);

    // The end code of "Shutdown Quotamin": the program is to end.
    static constexpr std::intptr_t ResultQuitProgram = 16;

    static constexpr int kTemplateId = 129;
    static constexpr int kLogoffRadioId = 1001;
    static constexpr int kShutdownRadioId = 1002;
    static constexpr int kMinutesAllowedEditId = 1003;
    static constexpr int kMinutesRemainingEditId = 1004;
    static constexpr int kEnableCheckId = 1005;
    static constexpr int kShutdownProgramButtonId = 1006;
    static constexpr int kChangePasswordButtonId = 1010;
    static constexpr int kUserNameEditId = 1028;

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
