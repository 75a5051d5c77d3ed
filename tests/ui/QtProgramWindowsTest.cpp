// The program's own windows on the Qt window system, on an X server of its
// own: each template's window at its Windows size, the main window within the
// background bitmap, every control known by the name a user reads for it,
// and the program's icon and bitmap compiled into it.

#include <gtest/gtest.h>

#include <QtGui/QPixmap>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <map>
#include <memory>
#include <string>
#include <thread>

#include "platform/Dialog.h"
#include "platform/DialogUnits.h"
#include "platform/qt/AnsiText.h"
#include "platform/qt/QtWindowSystem.h"
#include "tests/support/GuiThread.h"
#include "ui/ProgramResources.h"
#include "ui/ResourceIds.h"

namespace quotamin {
namespace {

using namespace std::chrono_literals;
using testing::OnGuiThread;
using testing::PostToGuiThread;

// The name of each control with an id, as screen readers and the
// accessibility bus know it.
const std::map<int, std::map<int, std::string>> kNames = {
    {IDD_QUOTAMIN_DIALOG, {{IDC_PASSWORD, "Password"}, {IDC_LOGIN, "Login"}, {IDC_CLOSE, "Close"}}},
    {IDD_ADMIN_DIALOG,
     {{IDC_LOGOFF_RADIO, "Logoff current user"},
      {IDC_SHUTDOWN_RADIO, "Shutdown computer"},
      {IDC_MINUTES_ALLOWED, "Minutes allowed per day"},
      {IDC_MINUTES_REMAINING, "Minutes remaining for today"},
      {IDC_ENABLE_CHECK, "Enable Quota-min for this user"},
      {IDC_SHUTDOWN_PROGRAM, "Shutdown Quotamin"},
      {IDC_CHANGE_PASSWORD, "Change password"},
      {IDOK, "OK"},
      {IDCANCEL, "Cancel"},
      {IDC_USER_NAME, "Username"}}},
    {IDD_CHANGE_PASSWORD_DIALOG,
     {{IDOK, "OK"},
      {IDCANCEL, "Cancel"},
      {IDC_OLD_PASSWORD, "Old password"},
      {IDC_NEW_PASSWORD, "New password"},
      {IDC_REPEAT_PASSWORD, "Repeat new password"}}},
    {IDD_ABOUTBOX, {{IDOK, "OK"}}},
};

// The program's window system on the GUI thread, and one dialog of a template open on it.
class ProgramWindows : public ::testing::Test {
  protected:
    void SetUp() override {
        m_system =
            OnGuiThread([] { return new QtWindowSystem(ProgramResources()); }).value_or(nullptr);
        ASSERT_NE(m_system, nullptr);
    }
    void TearDown() override {
        OnGuiThread([system = m_system] {
            delete system;
            return true;
        });
    }

    // Opens template `id` as a plain dialog; the window, once it shows.
    QWidget* Open(int id) {
        auto* dialog = new Dialog(*m_system, id);
        m_dialogs.emplace_back(dialog);
        PostToGuiThread([dialog] { dialog->DoModal(); });
        for (auto until = std::chrono::steady_clock::now() + testing::kGuiPatience;
             std::chrono::steady_clock::now() < until; std::this_thread::sleep_for(10ms)) {
            QWidget* window = OnGuiThread([dialog]() -> QWidget* {
                                  const WindowHandle handle = dialog->GetSafeHwnd();
                                  for (QWidget* widget : QApplication::topLevelWidgets()) {
                                      if (widget->isVisible() &&
                                          widget->property(kWindowProperty).toULongLong() ==
                                              static_cast<qulonglong>(handle)) {
                                          return widget;
                                      }
                                  }
                                  return nullptr;
                              }).value_or(nullptr);
            if (window != nullptr) {
                return window;
            }
        }
        return nullptr;
    }
    void Close() {
        for (const std::unique_ptr<Dialog>& dialog : m_dialogs) {
            Dialog* open = dialog.get();
            OnGuiThread([open] { return open->SendMessage(WM_COMMAND, IDCANCEL); });
        }
        // Each loop ends once the GUI thread is back in it.
        OnGuiThread([] { return true; });
    }

    QtWindowSystem* m_system = nullptr;
    std::vector<std::unique_ptr<Dialog>> m_dialogs;
};

TEST_F(ProgramWindows, HaveTheirWindowsSizesAndTheirControlsTheNamesAUserReads) {
    const ResourceTable resources = ProgramResources();
    for (const DialogTemplate& dialogTemplate : resources.dialogs) {
        SCOPED_TRACE("template " + std::to_string(dialogTemplate.id));
        QWidget* window = Open(dialogTemplate.id);
        ASSERT_NE(window, nullptr);
        struct Seen {
            QSize client;
            QString windowName;
            std::map<int, std::string> names;
        };
        const Seen seen = OnGuiThread([window] {
                              Seen s{window->size(), window->accessibleName(), {}};
                              for (QWidget* child : window->findChildren<QWidget*>()) {
                                  const int id = child->property(kControlIdProperty).toInt();
                                  if (id > 0) {
                                      s.names[id] = ToAnsi(child->accessibleName());
                                  }
                              }
                              return s;
                          }).value_or(Seen{});
        const Rect client = ClientRect(dialogTemplate, QtWindowSystem::kBaseUnits);
        EXPECT_EQ(seen.client, QSize(client.Width(), client.Height()));
        EXPECT_EQ(ToAnsi(seen.windowName), dialogTemplate.title.empty()
                                               ? m_system->ApplicationName()
                                               : dialogTemplate.title);
        for (const auto& [id, name] : kNames.at(dialogTemplate.id)) {
            EXPECT_EQ(seen.names.count(id) ? seen.names.at(id) : "(no control)", name)
                << "control " << id;
        }
        Close();
    }
}

TEST_F(ProgramWindows, TheMainWindowFitsTheBackgroundAndItsStatusBoxIsNamedByItsText) {
    QWidget* window = Open(IDD_QUOTAMIN_DIALOG);
    ASSERT_NE(window, nullptr);
    QtWindowSystem* system = m_system;
    Dialog* dialog = m_dialogs.back().get();
    const std::optional<std::string> name = OnGuiThread([system, dialog, window] {
        system->SetWindowText(system->GetDlgItem(dialog->GetSafeHwnd(), IDC_STATUS),
                              "WARNING!!! You have just 5 minutes\r\nremaining");
        for (QWidget* child : window->findChildren<QWidget*>()) {
            if (child->property(kControlIdProperty).toInt() == IDC_STATUS) {
                return ToAnsi(child->accessibleName());
            }
        }
        return std::string("(no status box)");
    });
    EXPECT_EQ(name, "WARNING!!! You have just 5 minutes remaining");
    const std::optional<QSize> size = OnGuiThread([window] { return window->size(); });
    ASSERT_TRUE(size.has_value());
    EXPECT_LE(size->width(), 510);
    EXPECT_LE(size->height(), 266);
    Close();
}

TEST_F(ProgramWindows, TheIconAndTheBitmapAreThoseOfTheResourceTable) {
    QtWindowSystem* system = m_system;
    const ResourceTable resources = ProgramResources();
    for (const BitmapResource& bitmap : resources.bitmaps) {
        const std::optional<BitmapInfo> info = OnGuiThread([system, bitmap] {
            BitmapInfo seen;
            const BitmapHandle handle = system->LoadBitmap(bitmap.id);
            system->GetObject(handle, seen);
            system->DeleteObject(handle);
            return seen;
        });
        ASSERT_TRUE(info.has_value());
        EXPECT_EQ(info->bmWidth, bitmap.width) << "bitmap " << bitmap.id;
        EXPECT_EQ(info->bmHeight, bitmap.height) << "bitmap " << bitmap.id;
    }
    for (const int icon : resources.icons) {
        EXPECT_EQ(OnGuiThread([system, icon] { return system->LoadIcon(icon) != IconHandle{}; }),
                  std::optional<bool>(true))
            << "icon " << icon;
    }
    // The about box shows the program's icon, at Windows' 32 pixels square.
    QWidget* about = Open(IDD_ABOUTBOX);
    ASSERT_NE(about, nullptr);
    const std::optional<QSize> shown = OnGuiThread([about] {
        for (const QLabel* label : about->findChildren<QLabel*>()) {
            if (!label->pixmap().isNull()) {
                return label->pixmap().size();
            }
        }
        return QSize();
    });
    EXPECT_EQ(shown, std::optional<QSize>(QSize(32, 32)));
    Close();
}

}  // namespace
}  // namespace quotamin
