#include "ui/ChangePasswordDialog.h"

#include "core/FileError.h"
#include "core/PasswordStore.h"
#include "ui/QuotaminApp.h"

namespace quotamin {

ChangePasswordDialog::ChangePasswordDialog(QuotaminApp& app)
    : Dialog(app.GetWindowSystem(), kTemplateId), m_app(app) {}

void ChangePasswordDialog::DoDataExchange(DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    DDX_Control(dx, kRepeatPasswordEditId, m_repeatPasswordEdit);
    DDX_Control(dx, kNewPasswordEditId, m_newPasswordEdit);
    DDX_Control(dx, kOldPasswordEditId, m_oldPasswordEdit);
}

void ChangePasswordDialog::OnOK() {
    const std::string oldText = m_oldPasswordEdit.GetWindowText();
    const std::string newText = m_newPasswordEdit.GetWindowText();
    const std::string repeatText = m_repeatPasswordEdit.GetWindowText();
    PasswordStore store(m_app.GetSystem());
    store.Load();
    if (!store.MatchesExactly(oldText)) {
        MessageBox("The old password is not correct");
        return;
    }
    if (!store.TextsMatchExactly(newText, repeatText)) {
        MessageBox("The new password did not match the repeated new password");
        return;
    }
    if (store.TextsMatchExactly(newText, "")) {
        MessageBox("The new password cannot be blank");
        return;
    }
    store.SetPassword(newText);
    try {
        store.Save();
    } catch (const FileError& error) {
        // The file still holds the old password; the dialog stays open to try again.
        MessageBox(error.what());
        return;
    }
    MessageBox("The new password has been saved - remember to use this password in the future.");
    Dialog::OnOK();
}

}  // namespace quotamin
