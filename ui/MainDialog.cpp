#include "ui/MainDialog.h"

#include <utility>

#include "core/FileError.h"
#include "core/PasswordStore.h"
#include "session/SessionTerminator.h"
#include "session/TrayMessage.h"
#include "ui/AboutDialog.h"
#include "ui/AdminDialog.h"
#include "ui/QuotaminApp.h"

namespace quotamin {

namespace {

constexpr int kIconId = IDR_MAINFRAME;
constexpr int kBackgroundBitmapId = IDB_BACKGROUND;
constexpr int kAboutMenuStringId = IDS_ABOUTBOX;

}  // namespace

MainDialog::MainDialog(QuotaminApp& app)
    : BitmapDialog(app.GetWindowSystem(), kTemplateId), m_app(app) {
    m_icon = LoadIcon(kIconId);
    try {
        GetConfig().SetUser(m_app.SessionUserName());
    } catch (const FileError& error) {
        // The window does not exist yet; it shows the failure once it does.
        m_startupSaveFailure = error.what();
    }
}

QuotaminConfig& MainDialog::GetConfig() {
    return m_app.GetConfig();
}

void MainDialog::DoDataExchange(DataExchange& dx) {
    BitmapDialog::DoDataExchange(dx);
    DDX_Control(dx, kPasswordEditId, m_passwordEdit);
    DDX_Control(dx, kStatusEditId, m_statusEdit);
}

bool MainDialog::OnInitDialog() {
    m_app.GetLog().BeginLine() << "==================== OnInitDialog ======================";
    m_app.GetLog().EndLine();
    BitmapDialog::OnInitDialog();

    if (SystemMenu menu = GetSystemMenu(false)) {
        const std::string about = LoadString(kAboutMenuStringId);
        if (!about.empty()) {
            menu.AppendMenu(MF_SEPARATOR);
            menu.AppendMenu(MF_STRING, kAboutCommand, about);
        }
    }
    SendMessage(WM_SETICON, ICON_BIG, static_cast<LParam>(m_icon));
    SendMessage(WM_SETICON, ICON_SMALL, static_cast<LParam>(m_icon));

    StartMinuteTimer();
    SetMode(BitmapTile);
    LoadBitmap(kBackgroundBitmapId);
    UpdateStatus();
    StartHideTimer(1);
    SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    TrayMessage(NIM_ADD);

    return true;
}

void MainDialog::ReportStartUpFailure() {
    // Not before the status has had its second: a message box any earlier
    // would run before the window is shown, or before the dialog manager's
    // loop first shows it when it is idle, and the window would come back on
    // top once the box was answered.
    if (m_startupSaveFailure) {
        ReportSaveFailure(*std::exchange(m_startupSaveFailure, std::nullopt));
    }
}

void MainDialog::StartMinuteTimer() {
    SetTimer(m_minuteTimerId, kMinuteMilliseconds);
}
void MainDialog::StopMinuteTimer() {
    KillTimer(m_minuteTimerId);
}
void MainDialog::StartHideTimer(int seconds) {
    SetTimer(m_hideTimerId, static_cast<std::uint32_t>(seconds) * 1000);
}
void MainDialog::StopHideTimer() {
    KillTimer(m_hideTimerId);
}

void MainDialog::OnTimer(std::uintptr_t id) {
    if (id == m_hideTimerId) {
        ShowWindow(SW_HIDE);
        StopHideTimer();
        ReportStartUpFailure();
    } else if (id == m_minuteTimerId) {
        MinuteTick(m_account, GetConfig(), *this);
    }
    Default();
}

void MainDialog::LogMinute(std::int32_t elapsed) {
    m_app.GetLog().BeginLine() << "OnTimer elapsed=" << elapsed;
    m_app.GetLog().EndLine();
}

void MainDialog::RefreshTrayIcon() {
    TrayMessage(NIM_MODIFY);
}

void MainDialog::EndSession() {
    ::quotamin::EndSession(m_app.GetTerminator(), GetConfig());
}

void MainDialog::ReportSaveFailure(const std::string& text) {
    if (m_reportingSaveFailure) {
        return;
    }
    m_reportingSaveFailure = true;
    MessageBox(text);
    m_reportingSaveFailure = false;
}

int MainDialog::UpdateStatus() {
    const StatusReport report = m_account.Evaluate(GetConfig());
    if (report.showWindow) {
        ShowAndActivate();
    }
    m_statusEdit.SetWindowText(report.text);
    return report.continueSession ? 1 : 0;
}

void MainDialog::ShowAndActivate() {
    ShowWindow(SW_SHOWNORMAL);
    SetForegroundWindow();
    SetFocus();
}

bool MainDialog::TrayMessage(std::uint32_t message) {
    return ::quotamin::TrayMessage(GetWindowSystem(), GetSafeHwnd(), GetConfig(), m_app.GetLog(),
                                   message);
}

LResult MainDialog::WindowProc(std::uint32_t message, WParam wParam, LParam lParam) {
    if (message == WM_TRAYNOTIFY && lParam == static_cast<LParam>(WM_LBUTTONDOWN) &&
        wParam == kTrayIconId) {
        ShowAndActivate();
        return 1;
    }
    return BitmapDialog::WindowProc(message, wParam, lParam);
}

bool MainDialog::OnCommand(int id) {
    if (id == kLoginButtonId) {
        OnOK();
        return true;
    }
    if (id == kCloseButtonId) {
        OnCancel();
        return true;
    }
    return BitmapDialog::OnCommand(id);
}

void MainDialog::OnOK() {
    const std::string typed = m_passwordEdit.GetWindowText();
    PasswordStore store(m_app.GetSystem());
    store.Load();
    if (!store.MatchesAnyCase(typed)) {
        MessageBox("Sorry, that password is incorrect");
        return;
    }
    m_passwordEdit.SetWindowText("");
    StopMinuteTimer();
    StopHideTimer();
    ReportStartUpFailure();
    AdminDialog admin(m_app);
    const std::intptr_t result = admin.DoModal();
    TrayMessage(NIM_MODIFY);
    UpdateStatus();
    if (result == AdminDialog::ResultQuitProgram) {
        EndDialog(0);
        return;
    }
    if (GetConfig().m_enabled != 0) {
        StartMinuteTimer();
    }
}

void MainDialog::OnCancel() {
    StopHideTimer();
    m_passwordEdit.SetWindowText("");
    ShowWindow(SW_HIDE);
    ReportStartUpFailure();
}

void MainDialog::OnPaint() {
    if (!IsIconic()) {
        UpdateStatus();
        Default();
        return;
    }
    PaintDC dc(GetWindowSystem(), GetSafeHwnd());
    SendMessage(WM_ICONERASEBKGND, static_cast<WParam>(dc.GetSafeHdc()), 0);
    const Rect client = GetClientRect();
    const int x = (client.Width() - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.Height() - GetSystemMetrics(SM_CYICON) + 1) / 2;
    dc.DrawIcon(x, y, m_icon);
}

void MainDialog::OnSysCommand(std::uint32_t id, LParam lParam) {
    if ((id & 0xFFF0) == kAboutCommand) {
        AboutDialog about(GetWindowSystem());
        about.DoModal();
        return;
    }
    BitmapDialog::OnSysCommand(id, lParam);
}

IconHandle MainDialog::OnQueryDragIcon() {
    return m_icon;
}

void MainDialog::OnDestroy() {
    MessageBox("Remember to restart Quotamin if you want to ration this session.");
    BitmapDialog::OnDestroy();
    TrayMessage(NIM_DELETE);
}

}  // namespace quotamin
