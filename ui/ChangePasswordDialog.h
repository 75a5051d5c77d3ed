#pragma once
// Replaces the administrator password: the old one typed exactly as stored,
// the new one twice alike and not empty.

#include "platform/Controls.h"
#include "platform/Dialog.h"
#include "ui/ResourceIds.h"

namespace quotamin {

class QuotaminApp;

class ChangePasswordDialog : public Dialog {
  public:
    explicit ChangePasswordDialog(QuotaminApp& app);

    static constexpr int kTemplateId = IDD_CHANGE_PASSWORD_DIALOG;
    static constexpr int kOldPasswordEditId = IDC_OLD_PASSWORD;
    static constexpr int kNewPasswordEditId = IDC_NEW_PASSWORD;
    static constexpr int kRepeatPasswordEditId = IDC_REPEAT_PASSWORD;

  protected:
    void DoDataExchange(DataExchange& dx) override;
    void OnOK() override;

  private:
    QuotaminApp& m_app;
    Edit m_oldPasswordEdit;
    Edit m_newPasswordEdit;
    Edit m_repeatPasswordEdit;
};

}  // namespace quotamin
