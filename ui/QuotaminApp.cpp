#include "ui/QuotaminApp.h"

#include "ui/MainDialog.h"

namespace quotamin {

QuotaminApp::QuotaminApp(System& system, WindowSystem& windowSystem, SessionTerminator& terminator,
                         TraceLog log, UserNameSource userName)
    : m_config(system),
      m_log(std::move(log)),
      m_system(system),
      m_windowSystem(windowSystem),
      m_terminator(terminator),
      m_userName(std::move(userName)) {}

bool QuotaminApp::InitInstance() {
    // The main window reads the user's settings as it is built, before it exists.
    MainDialog dialog(*this);
    dialog.DoModal();
    return false;
}

}  // namespace quotamin
