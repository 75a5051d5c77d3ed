#include "platform/win32/DialogTemplateBuilder.h"

#include "platform/win32/Win32.h"

namespace quotamin {

namespace {

class Writer {
  public:
    void Word(std::uint16_t value) { m_words.push_back(value); }
    void Dword(std::uint32_t value) {
        Word(static_cast<std::uint16_t>(value & 0xFFFF));
        Word(static_cast<std::uint16_t>(value >> 16));
    }
    void Short(int value) { Word(static_cast<std::uint16_t>(static_cast<std::int16_t>(value))); }
    void Text(const std::string& text) {
        if (!text.empty()) {
            const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(),
                                                     static_cast<int>(text.size()), nullptr, 0);
            std::vector<wchar_t> wide(static_cast<std::size_t>(length));
            ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                  wide.data(), length);
            for (wchar_t c : wide) {
                Word(static_cast<std::uint16_t>(c));
            }
        }
        Word(0);
    }
    void AlignToDword() {
        if (m_words.size() % 2 != 0) {
            Word(0);
        }
    }
    std::vector<std::uint16_t> Take() { return std::move(m_words); }

  private:
    std::vector<std::uint16_t> m_words;
};

std::uint16_t ClassAtom(ControlKind kind) {
    switch (kind) {
        case ControlKind::Button:
            return 0x0080;
        case ControlKind::Edit:
            return 0x0081;
        case ControlKind::Static:
            break;
    }
    return 0x0082;
}

}  // namespace

std::vector<std::uint16_t> BuildDialogTemplate(const DialogTemplate& dialog) {
    Writer out;
    out.Word(1);       // dlgVer
    out.Word(0xFFFF);  // signature of the extended template
    out.Dword(0);      // helpID
    out.Dword(dialog.exStyle);
    out.Dword(dialog.style);
    out.Word(static_cast<std::uint16_t>(dialog.controls.size()));
    out.Short(dialog.x);
    out.Short(dialog.y);
    out.Short(dialog.cx);
    out.Short(dialog.cy);
    out.Word(0);  // no menu
    out.Word(0);  // the dialog class
    out.Text(dialog.title);
    if ((dialog.style & DS_SETFONT) != 0) {
        out.Word(static_cast<std::uint16_t>(dialog.pointSize));
        out.Word(0);       // weight: the font's own
        out.Word(0x0100);  // not italic; DEFAULT_CHARSET
        out.Text(dialog.fontName);
    }
    for (const ControlTemplate& control : dialog.controls) {
        out.AlignToDword();
        out.Dword(0);  // helpID
        out.Dword(control.exStyle);
        out.Dword(control.style | WS_CHILD | WS_VISIBLE);
        out.Short(control.x);
        out.Short(control.y);
        out.Short(control.cx);
        out.Short(control.cy);
        out.Dword(static_cast<std::uint32_t>(control.id));
        out.Word(0xFFFF);
        out.Word(ClassAtom(control.kind));
        if (control.iconResource != 0) {
            out.Word(0xFFFF);
            out.Word(static_cast<std::uint16_t>(control.iconResource));
        } else {
            out.Text(control.text);
        }
        out.Word(0);  // no creation data
    }
    return out.Take();
}

}  // namespace quotamin
