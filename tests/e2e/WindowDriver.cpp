#include "tests/e2e/WindowDriver.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>

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

struct DcReleaser {
    void operator()(HDC dc) const { ::ReleaseDC(nullptr, dc); }
};
struct DcDeleter {
    void operator()(HDC dc) const { ::DeleteDC(dc); }
};
struct ObjectDeleter {
    void operator()(void* object) const { ::DeleteObject(object); }
};

// The pixels of the window's place on the screen, bottom row first, 24 bits each.
std::vector<char> Capture(const RECT& rect, BITMAPINFOHEADER& info) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const std::unique_ptr<HDC__, DcReleaser> screen(::GetDC(nullptr));
    const std::unique_ptr<HDC__, DcDeleter> memory(::CreateCompatibleDC(screen.get()));
    const std::unique_ptr<void, ObjectDeleter> bitmap(
        ::CreateCompatibleBitmap(screen.get(), width, height));
    const HGDIOBJ previous = ::SelectObject(memory.get(), bitmap.get());
    ::BitBlt(memory.get(), 0, 0, width, height, screen.get(), rect.left, rect.top, SRCCOPY);
    ::SelectObject(memory.get(), previous);

    info = BITMAPINFOHEADER{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    std::vector<char> pixels(stride * static_cast<std::size_t>(height));
    ::GetDIBits(memory.get(), static_cast<HBITMAP>(bitmap.get()), 0, static_cast<UINT>(height),
                pixels.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    return pixels;
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
    if (!::CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &info_)) {
        throw Failure("cannot start " + program + ": error " + std::to_string(::GetLastError()));
    }
}

Process::~Process() {
    if (!WaitForExit(0ms)) {
        Terminate();
    }
    ::CloseHandle(info_.hThread);
    ::CloseHandle(info_.hProcess);
}

bool Process::WaitForExit(std::chrono::milliseconds timeout) const {
    return ::WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeout.count())) ==
           WAIT_OBJECT_0;
}

DWORD Process::ExitCode() const {
    DWORD code = 0;
    ::GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

void Process::Terminate() {
    ::TerminateProcess(info_.hProcess, 1);
    ::WaitForSingleObject(info_.hProcess, 10000);
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
    BITMAPINFOHEADER info{};
    const std::vector<char> pixels = *WaitFor(
        [&]() -> std::optional<std::vector<char>> {
            std::vector<char> first = Capture(rect, info);
            ::Sleep(150);
            if (Capture(rect, info) != first) {
                return std::nullopt;
            }
            return first;
        },
        10s, "the window to finish painting");

    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof header + sizeof info;
    header.bfSize = static_cast<DWORD>(header.bfOffBits + pixels.size());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
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
