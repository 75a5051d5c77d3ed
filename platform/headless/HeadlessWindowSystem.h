#pragma once
// An in-memory window system for tests, with a virtual clock.

#include <string>
#include <vector>

#include "platform/Resources.h"
#include "platform/WindowSystem.h"

namespace quotamin {

// One call of ShellNotifyIcon as the headless window system received it.
struct NotifyIconCall {
    std::uint32_t message = 0;
    NotifyIconData data;
};

class HeadlessWindowSystem : public WindowSystem {
  public:
    explicit HeadlessWindowSystem(
        ResourceTable resources,
        std::string programPath = "C:\\Program Files\\Quotamin\\diduvavi.exe");

    IconHandle LoadIcon(int resourceId) override;
    bool ShellNotifyIcon(std::uint32_t message, const NotifyIconData& data) override;

    // Every ShellNotifyIcon call so far, in order.
    const std::vector<NotifyIconCall>& NotifyIconCalls() const { return notifyIconCalls_; }
    // From now on the shell refuses (ShellNotifyIcon returns false) or accepts.
    void RefuseNotifyIcon(bool refuse) { refuseNotifyIcon_ = refuse; }
    // A window of its own that no dialog stands behind, for code that only needs a handle.
    WindowHandle CreatePlainWindow();

  private:
    ResourceTable resources_;
    std::string programPath_;
    std::vector<NotifyIconCall> notifyIconCalls_;
    bool refuseNotifyIcon_ = false;
    std::uintptr_t nextHandle_ = 0x100;
};

}  // namespace quotamin
