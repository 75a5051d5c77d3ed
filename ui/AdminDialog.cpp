#include "ui/AdminDialog.h"

#include "core/DecimalText.h"
#include "core/FileError.h"
#include "core/QuotaminConfig.h"
#include "ui/ChangePasswordDialog.h"
#include "ui/QuotaminApp.h"

namespace quotamin {

AdminDialog::AdminDialog(QuotaminApp& app)
    : Dialog(app.GetWindowSystem(), kTemplateId), m_app(app) {}

void AdminDialog::DoDataExchange(DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    DDX_Control(dx, kUserNameEditId, m_userNameEdit);
    DDX_Control(dx, kMinutesAllowedEditId, m_minutesAllowedEdit);
    DDX_Control(dx, kShutdownRadioId, m_shutdownRadio);
    DDX_Control(dx, kLogoffRadioId, m_logoffRadio);
    DDX_Control(dx, kEnableCheckId, m_enableCheck);
    DDX_Control(dx, kMinutesRemainingEditId, m_minutesRemainingEdit);
}

bool AdminDialog::OnInitDialog() {
    const bool result = Dialog::OnInitDialog();
    const QuotaminConfig& config = m_app.GetConfig();
    m_userNameEdit.SetWindowText(config.m_userName);
    m_minutesAllowedEdit.SetWindowText(std::to_string(config.m_minutesAllowed));
    m_minutesRemainingEdit.SetWindowText(std::to_string(config.m_minutesRemaining));
    if (config.m_enabled != 0) {
        m_enableCheck.SetCheck(BST_CHECKED);
    }
    if (config.m_logoffOnExpiry == 1) {
        m_logoffRadio.SetCheck(BST_CHECKED);
    } else {
        m_shutdownRadio.SetCheck(BST_CHECKED);
    }
    return result;
}

void AdminDialog::OnOK() {
    const std::string allowedText = m_minutesAllowedEdit.GetWindowText();
    const std::string remainingText = m_minutesRemainingEdit.GetWindowText();
    const std::int32_t allowed = ParseDecimal(allowedText);
    const std::int32_t remaining = ParseDecimal(remainingText);
    if (allowedText.empty() || remainingText.empty()) {
        MessageBox("Both minutes allowed and minutes remaining must be specified");
        return;
    }
    if (allowed < 10 || allowed > 1440) {
        MessageBox("Minutes allowed must be between 10 and 1440");
        return;
    }
    if (remaining < 2 || remaining > 1440) {
        MessageBox("Minutes remaining today must be between 2 and 1440");
        return;
    }
    QuotaminConfig& config = m_app.GetConfig();
    const QuotaminConfig before = config;
    config.m_minutesAllowed = allowed;
    config.m_minutesRemaining = remaining;
    config.m_logoffOnExpiry = m_logoffRadio.GetCheck() == BST_CHECKED ? 1 : 0;
    config.m_enabled = m_enableCheck.GetCheck() == BST_CHECKED ? 1 : 0;
    try {
        config.Save();
    } catch (const FileError& error) {
        // What could not be saved is not put in force either: the program
        // goes on with the settings the file holds, so that Cancel changes
        // nothing. The dialog stays open with what was typed, for another OK.
        config.CopyValuesFrom(before);
        MessageBox(error.what());
        return;
    }
    Dialog::OnOK();
}

bool AdminDialog::OnCommand(int id) {
    if (id == kChangePasswordButtonId) {
        OnChangePassword();
        return true;
    }
    if (id == kShutdownProgramButtonId) {
        OnShutdownProgram();
        return true;
    }
    return Dialog::OnCommand(id);
}

void AdminDialog::OnChangePassword() {
    ChangePasswordDialog dialog(m_app);
    dialog.DoModal();
}

void AdminDialog::OnShutdownProgram() {
    EndDialog(ResultQuitProgram);
}

}  // namespace quotamin
