#pragma once
// Replaces the administrator password: the old one typed exactly as stored,
// the new one twice alike and not empty.

#include "platform/Controls.h"
#include "platform/Dialog.h"

namespace quotamin {

class QuotaminApp;

class ChangePasswordDialog : public Dialog {
  public:
    explicit ChangePasswordDialog(QuotaminApp& app);

    static constexpr int kTemplateId = 134;
    static constexpr int kOldPasswordEditId = 1024;
    static constexpr int kNewPasswordEditId = 1025;
    static constexpr int kRepeatPasswordEditId = 1026;

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
