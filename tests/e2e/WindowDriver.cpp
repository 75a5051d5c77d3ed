#include "tests/e2e/WindowDriver.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>

#include "tests/support/Screenshot.h"

namespace quotamin::e2e {

namespace {

constexpr UINT kAnswerTimeoutMs = 15000;

std::string ClassName(HWND window) {
    char name[64] = {};
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

struct DialogSearch {
    DWORD processId;
    const std::string* title;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM context) {
    auto& search = *reinterpret_cast<DialogSearch*>(context);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != search.processId || !::IsWindowVisible(window) || ClassName(window) != "#32770") {
        return TRUE;
    }
    if (TextIfThere(window) == *search.title) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

struct BoxSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK MatchBox(HWND window, LPARAM context) {
    auto& search = *reinterpret_cast<BoxSearch*>(context);
    if (::GetWindow(window, GW_OWNER) == search.owner && ::IsWindowVisible(window) &&
        ClassName(window) == "#32770") {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK ReadBoxPart(HWND child, LPARAM context) {
    auto& seen = *reinterpret_cast<MessageBoxSeen*>(context);
    if (!::IsWindowVisible(child)) {
        return TRUE;
    }
    const std::string kind = ClassName(child);
    const LONG style = ::GetWindowLongA(child, GWL_STYLE);
    if (kind == "Button") {
        seen.buttons.push_back(Text(child));
    } else if (kind == "Static" && (style & SS_TYPEMASK) == SS_ICON) {
        seen.hasIcon = seen.hasIcon || Send(child, STM_GETICON, 0, 0) != 0;
    } else if (kind == "Static" && !Text(child).empty()) {
        seen.text = Text(child);
    }
    return TRUE;
}

}  // namespace

std::string Printable(const std::string& bytes) {
    std::string out;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (byte >= 32 && byte < 127 && c != '\\') {
            out += c;
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            out += hex;
        }
    }
    return out;
}

void Expect(bool condition, const std::string& what) {
    if (!condition) {
        throw Failure(what);
    }
}

Process::Process(const std::string& program, const std::string& arguments) {
    std::string commandLine = "\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &info)) {
        throw Failure("cannot start " + program + ": error " + std::to_string(::GetLastError()));
    }
    m_process.Reset(info.hProcess);
    m_thread.Reset(info.hThread);
    m_id = info.dwProcessId;
}

Process::~Process() {
    if (!WaitForExit(0ms)) {
        Terminate();
    }
}

bool Process::WaitForExit(std::chrono::milliseconds timeout) const {
    return ::WaitForSingleObject(m_process.Get(), static_cast<DWORD>(timeout.count())) ==
           WAIT_OBJECT_0;
}

DWORD Process::ExitCode() const {
    DWORD code = 0;
    ::GetExitCodeProcess(m_process.Get(), &code);
    return code;
}

void Process::Terminate() {
    ::TerminateProcess(m_process.Get(), 1);
    ::WaitForSingleObject(m_process.Get(), 10000);
}

HWND FindDialog(DWORD processId, const std::string& title) {
    DialogSearch search{processId, &title, nullptr};
    ::EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForDialog(DWORD processId, const std::string& title, std::chrono::milliseconds timeout) {
    return WaitFor([&] { return FindDialog(processId, title); }, timeout,
                   "the window \"" + title + "\"");
}

void WaitUntilHidden(HWND window, std::chrono::milliseconds timeout) {
    WaitFor([&] { return !::IsWindow(window) || !::IsWindowVisible(window); }, timeout,
            "a window to be hidden");
}

HWND Control(HWND dialog, int id) {
    HWND control = ::GetDlgItem(dialog, id);
    Expect(control != nullptr, "the window has a control " + std::to_string(id));
    return control;
}

std::string Text(HWND window) {
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kAnswerTimeoutMs,
                               &length)) {
        throw Failure(
            "the " + ClassName(window) + " window " + std::to_string(::GetDlgCtrlID(window)) +
            " does not answer WM_GETTEXTLENGTH: error " + std::to_string(::GetLastError()));
    }
    std::string text(length + 1, '\0');
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                          SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &copied);
    text.resize(copied);
    return text;
}

std::optional<std::string> TextIfThere(HWND window) {
    try {
        return Text(window);
    } catch (const Failure&) {
        return std::nullopt;
    }
}

void SetText(HWND window, const std::string& text) {
    DWORD_PTR ignored = 0;
    if (!::SendMessageTimeoutA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                               SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &ignored)) {
        throw Failure("the window does not answer WM_SETTEXT");
    }
}

bool IsChecked(HWND button) {
    return Send(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Click(HWND button) {
    Post(button, BM_CLICK, 0, 0);
}

void PressKey(HWND window, UINT virtualKey) {
    const UINT scanCode = ::MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC);
    Post(window, WM_KEYDOWN, virtualKey, 1 | (static_cast<LPARAM>(scanCode) << 16));
    Post(window, WM_KEYUP, virtualKey, 1 | (static_cast<LPARAM>(scanCode) << 16) | (3LL << 30));
}

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kAnswerTimeoutMs,
                               &result)) {
        throw Failure("the window does not answer message " + std::to_string(message));
    }
    return static_cast<LRESULT>(result);
}

void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Expect(::PostMessageA(window, message, wParam, lParam) != 0,
           "message " + std::to_string(message) + " posted");
}

HWND FindMessageBox(HWND owner) {
    BoxSearch search{owner, nullptr};
    ::EnumWindows(MatchBox, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

MessageBoxSeen AnswerMessageBox(HWND owner, std::chrono::milliseconds timeout) {
    const HWND box = WaitFor([&] { return FindMessageBox(owner); }, timeout, "a message box");
    MessageBoxSeen seen;
    seen.caption = Text(box);
    ::EnumChildWindows(box, ReadBoxPart, reinterpret_cast<LPARAM>(&seen));
    Click(Control(box, IDOK));
    WaitFor([&] { return !::IsWindow(box); }, 10s, "the message box to close");
    return seen;
}

void SaveScreenshot(HWND window, const std::string& path) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    const std::string bmp = *WaitFor(
        [&]() -> std::optional<std::string> {
            std::string first =
                testing::CaptureScreenBmp(rect.left, rect.top, rect.right, rect.bottom);
            ::Sleep(150);
            if (testing::CaptureScreenBmp(rect.left, rect.top, rect.right, rect.bottom) != first) {
                return std::nullopt;
            }
            return first;
        },
        10s, "the window to finish painting");
    std::ofstream out(path, std::ios::binary);
    out.write(bmp.data(), static_cast<std::streamsize>(bmp.size()));
    Expect(out.good(), "screenshot written to " + path);
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string WindowsDirectory() {
    char directory[MAX_PATH] = {};
    ::GetWindowsDirectoryA(directory, MAX_PATH);
    return directory;
}

std::string UserName() {
    char name[256] = {};
    DWORD size = sizeof name;
    ::GetUserNameA(name, &size);
    return name;
}

}  // namespace quotamin::e2e
