#pragma once
// The window system of the Linux desktop: the layer's interface over Qt 6
// Widgets. Dialogs are built from the same templates as on Windows, placed at
// the template font's dialog base units as Windows has them, so that every
// window has its Windows size; the dialog manager's rules come from the
// layer (platform/DialogKeys.h and the files beside it). Modal loops nest as
// on Windows: each dialog and message box runs its own, owned by the
// innermost window open, which is disabled meanwhile, and the timers go on
// ticking in every one of them.

#include "platform/WindowsHeaderOrder.h"

#include <QtCore/QObject>
#include <QtGui/QPainter>
#include <QtWidgets/QApplication>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/DialogUnits.h"
#include "platform/Resources.h"
#include "platform/WindowSystem.h"
#include "platform/qt/DialogWidget.h"
#include "platform/qt/QtDrawing.h"
#include "platform/qt/QtNotifyIcons.h"
#include "platform/qt/QtTimers.h"
#include "platform/qt/QtWindows.h"
#include "platform/qt/SessionClaim.h"

namespace quotamin {

class QtWindowSystem final : public WindowSystem, private DialogWidget::Events {
  public:
    // The dialog templates' font, MS Sans Serif 8 at 96 dots per inch, as
    // Windows measures it; the Qt font of the dialogs matches it.
    static constexpr DialogBaseUnits kBaseUnits = kMsSansSerif8BaseUnits;

    // Runs on the program's QApplication; makes one when there is none yet.
    explicit QtWindowSystem(const ResourceTable& resources);
    ~QtWindowSystem() override;
    QtWindowSystem(const QtWindowSystem&) = delete;
    QtWindowSystem& operator=(const QtWindowSystem&) = delete;

    // Claims the desktop session for this copy (SessionClaim.h): false when
    // a copy that runs took this start over, and this one is to end.
    bool ClaimSession(const QString& directory, const QString& session);

    const QtNotifyIcons& NotifyIcons() const { return m_notifyIcons; }

    // --- WindowSystem ---

    std::intptr_t RunModalDialog(DialogHost& host, int templateId) override;
    bool EndDialog(WindowHandle dialog, std::intptr_t result) override;
    LResult DefaultProcessing(WindowHandle window, std::uint32_t message, WParam wParam,
                              LParam lParam) override;
    LResult SendMessage(WindowHandle window, std::uint32_t message, WParam wParam,
                        LParam lParam) override;
    int MessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                   std::uint32_t type) override;
    std::string ApplicationName() override;
    WindowHandle GetDlgItem(WindowHandle dialog, int id) override;
    std::string GetWindowText(WindowHandle window) override;
    void SetWindowText(WindowHandle window, const std::string& text) override;
    bool ShowWindow(WindowHandle window, int command) override;
    bool SetForegroundWindow(WindowHandle window) override;
    WindowHandle SetFocus(WindowHandle window) override;
    bool SetWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y, int cx, int cy,
                      std::uint32_t flags) override;
    bool IsIconic(WindowHandle window) override;
    Rect GetClientRect(WindowHandle window) override;
    std::uintptr_t SetTimer(WindowHandle window, std::uintptr_t id,
                            std::uint32_t milliseconds) override;
    bool KillTimer(WindowHandle window, std::uintptr_t id) override;
    MenuHandle GetSystemMenu(WindowHandle window, bool revert) override;
    bool AppendMenu(MenuHandle menu, std::uint32_t flags, std::uintptr_t id,
                    const std::string& text) override;
    std::string LoadString(int resourceId) override;
    IconHandle LoadIcon(int resourceId) override;
    BitmapHandle LoadBitmap(int resourceId) override;
    bool GetObject(BitmapHandle bitmap, BitmapInfo& info) override;
    bool DeleteObject(BitmapHandle bitmap) override;
    int GetSystemMetrics(int index) override;
    DcHandle BeginPaint(WindowHandle window) override;
    void EndPaint(WindowHandle window, DcHandle dc) override;
    DcHandle CreateCompatibleDC(DcHandle dc) override;
    bool DeleteDC(DcHandle dc) override;
    BitmapHandle SelectObject(DcHandle dc, BitmapHandle bitmap) override;
    bool BitBlt(DcHandle dest, int x, int y, int cx, int cy, DcHandle source, int sx, int sy,
                std::uint32_t rop) override;
    bool StretchBlt(DcHandle dest, int x, int y, int cx, int cy, DcHandle source, int sx, int sy,
                    int scx, int scy, std::uint32_t rop) override;
    bool DrawIcon(DcHandle dc, int x, int y, IconHandle icon) override;
    bool ShellNotifyIcon(std::uint32_t message, const NotifyIconData& data) override;

  private:
    // DialogWidget::Events.
    void Paint(WindowHandle dialog, QWidget& widget) override;
    void CloseBox(WindowHandle dialog) override;
    bool DialogKey(WindowHandle dialog, int key) override;
    void Clicked(WindowHandle control) override;
    void ContextMenu(WindowHandle dialog, const QPoint& globalPosition) override;

    WindowHandle CreateDialogWindow(const DialogTemplate& dialogTemplate, DialogHost& host,
                                    WindowHandle owner);
    void UpdateSystemMenu(WindowHandle dialog);
    // Puts a new window over its owner's middle, or the screen's.
    void Place(QWidget& widget, WindowHandle owner);
    void ApplyTopmost(const QtWindow& window);
    // Runs the modal loop of `window` until it has ended or is gone.
    void RunLoop(WindowHandle window);
    void DestroyWindow(WindowHandle window);
    LResult ProcessControl(WindowHandle control, std::uint32_t message, WParam wParam,
                           LParam lParam);
    void SendCommand(WindowHandle dialog, int id, WindowHandle control);
    void SyncChecks(const QtWindow& dialog);
    void UpdateNameByText(WindowHandle control);

    // The window painted now, and how far its painting has come.
    struct PaintState {
        WindowHandle window{};
        QPainter* painter = nullptr;
        DcHandle dc{};
        bool begun = false;
    };

    // Members in the order they must come into being, and go in reverse.
    int m_argc = 1;
    std::string m_programPath;
    char* m_argv[2] = {nullptr, nullptr};
    std::unique_ptr<QApplication> m_ownApplication;
    ResourceTable m_resources;
    QtWindows m_windows;
    QtDrawing m_drawing;
    std::optional<PaintState> m_paint;
    QtTimers m_timers;
    QtNotifyIcons m_notifyIcons;
    std::unique_ptr<SessionClaim> m_claim;
    // What the calls this window system posts to itself are tied to.
    QObject m_context;
};

}  // namespace quotamin
