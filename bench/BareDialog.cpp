// The reference for the program's start-up time and file size: the least a
// static C++ dialog program does to show a window. One dialog built in memory
// at run time, of the main window's size, style and font, with a status box
// that shows a text; nothing else. It links the same run-time library
// (std::string, std::vector, exceptions) with the same compiler and flags.

#include <windows.h>

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

namespace {

constexpr int kStatusId = 1034;

class TemplateWriter {
  public:
    void Word(std::uint16_t value) { m_words.push_back(value); }
    void Dword(std::uint32_t value) {
        Word(static_cast<std::uint16_t>(value & 0xFFFF));
        Word(static_cast<std::uint16_t>(value >> 16));
    }
    void Text(const std::string& text) {
        for (const char c : text) {
            Word(static_cast<unsigned char>(c));
        }
        Word(0);
    }
    void Align() {
        if (m_words.size() % 2 != 0) {
            Word(0);
        }
    }
    const std::vector<std::uint16_t>& Words() const { return m_words; }

  private:
    std::vector<std::uint16_t> m_words;
};

std::vector<std::uint16_t> StatusDialog() {
    TemplateWriter out;
    out.Word(1);
    out.Word(0xFFFF);
    out.Dword(0);
    out.Dword(WS_EX_APPWINDOW);
    out.Dword(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT);
    out.Word(1);  // one control
    out.Word(0);
    out.Word(0);
    out.Word(339);
    out.Word(162);
    out.Word(0);  // no menu
    out.Word(0);  // the dialog class
    out.Text("");
    out.Word(8);
    out.Word(0);
    out.Word(0x0100);
    out.Text("MS Sans Serif");
    out.Align();
    out.Dword(0);
    out.Dword(0);
    out.Dword(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_CENTER | ES_MULTILINE |
              ES_AUTOVSCROLL);
    out.Word(19);
    out.Word(57);
    out.Word(296);
    out.Word(58);
    out.Dword(kStatusId);
    out.Word(0xFFFF);
    out.Word(0x0081);  // edit
    out.Text("");
    out.Word(0);
    return out.Words();
}

INT_PTR CALLBACK StatusProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG: {
            const std::string status = "You have 90 minutes remaining.";
            ::SetDlgItemTextA(window, kStatusId, status.c_str());
            return TRUE;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDCANCEL) {
                ::EndDialog(window, 0);
                return TRUE;
            }
            break;
    }
    return FALSE;
}

}  // namespace

int main() {
    try {
        const std::vector<std::uint16_t> dialog = StatusDialog();
        ::DialogBoxIndirectParamA(::GetModuleHandleA(nullptr),
                                  reinterpret_cast<LPCDLGTEMPLATEA>(dialog.data()), nullptr,
                                  &StatusProc, 0);
    } catch (const std::exception& error) {
        ::MessageBoxA(nullptr, error.what(), "bare dialog", MB_OK);
        return 1;
    }
    return 0;
}
