#include "platform/headless/HeadlessWindowSystem.h"

#include <utility>

namespace quotamin {

namespace {
// Icons are handed out as this base plus their resource id, so that a test can
// tell which icon a record carries.
constexpr std::uintptr_t kIconHandleBase = 0x10000;
}  // namespace

HeadlessWindowSystem::HeadlessWindowSystem(ResourceTable resources, std::string programPath)
    : resources_(std::move(resources)), programPath_(std::move(programPath)) {}

IconHandle HeadlessWindowSystem::LoadIcon(int resourceId) {
    if (!resources_.HasIcon(resourceId)) {
        return IconHandle{};
    }
    return static_cast<IconHandle>(kIconHandleBase + static_cast<std::uintptr_t>(resourceId));
}

bool HeadlessWindowSystem::ShellNotifyIcon(std::uint32_t message, const NotifyIconData& data) {
    notifyIconCalls_.push_back({message, data});
    return !refuseNotifyIcon_;
}

WindowHandle HeadlessWindowSystem::CreatePlainWindow() {
    return static_cast<WindowHandle>(nextHandle_++);
}

}  // namespace quotamin
