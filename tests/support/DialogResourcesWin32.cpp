#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

#include "platform/Styles.h"
#include "platform/win32/DialogScript.h"
#include "tests/support/DialogResources.h"
// Last: see platform/WindowsHeaderOrder.h.
#include "os/Win32Handles.h"

namespace quotamin::testing {

namespace {

// An extended dialog template (DLGTEMPLATEEX and its DLGITEMTEMPLATEEX
// items), read in order; a read past the end gives zeros and marks it truncated.
class TemplateReader {
  public:
    TemplateReader(const void* data, std::size_t size)
        : m_data(static_cast<const unsigned char*>(data)), m_size(size) {}

    std::uint16_t Word() {
        std::uint16_t value = 0;
        Take(&value, sizeof value);
        return value;
    }
    std::uint32_t Dword() {
        std::uint32_t value = 0;
        Take(&value, sizeof value);
        return value;
    }
    int Coordinate() { return static_cast<std::int16_t>(Word()); }
    std::u16string Text() {
        std::u16string text;
        for (std::uint16_t c = Word(); c != 0 && !m_truncated; c = Word()) {
            text.push_back(static_cast<char16_t>(c));
        }
        return text;
    }
    // A text, or 0xFFFF followed by an ordinal.
    std::variant<std::u16string, std::uint16_t> TextOrOrdinal() {
        const std::size_t at = m_offset;
        if (Word() == 0xFFFF) {
            return Word();
        }
        m_offset = at;
        return Text();
    }
    void AlignToDword() { m_offset = (m_offset + 3) & ~std::size_t{3}; }
    void Skip(std::size_t bytes) { m_offset += bytes; }
    bool Truncated() const { return m_truncated; }

  private:
    void Take(void* value, std::size_t size) {
        if (m_offset + size > m_size) {
            m_truncated = true;
            m_offset = m_size;
            return;
        }
        std::memcpy(value, m_data + m_offset, size);
        m_offset += size;
    }

    const unsigned char* m_data;
    std::size_t m_size;
    std::size_t m_offset = 0;
    bool m_truncated = false;
};

std::u16string FromScriptCodePage(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    const int length = ::MultiByteToWideChar(kDialogScriptCodePage, 0, text.data(),
                                             static_cast<int>(text.size()), nullptr, 0);
    std::u16string wide(static_cast<std::size_t>(length), u'\0');
    ::MultiByteToWideChar(kDialogScriptCodePage, 0, text.data(), static_cast<int>(text.size()),
                          reinterpret_cast<wchar_t*>(wide.data()), length);
    return wide;
}

// For the messages: ASCII as it is, the rest as \uXXXX.
std::string Printable(const std::u16string& text) {
    std::string printable;
    for (const char16_t c : text) {
        if (c >= 0x20 && c < 0x7F) {
            printable += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(c));
            printable += escaped;
        }
    }
    return printable;
}

std::string Describe(const std::variant<std::u16string, std::uint16_t>& value) {
    if (const auto* ordinal = std::get_if<std::uint16_t>(&value)) {
        return "ordinal " + std::to_string(*ordinal);
    }
    return "\"" + Printable(std::get<std::u16string>(value)) + "\"";
}

// The atoms of the system's own control classes.
std::uint16_t ClassAtomOf(ControlKind kind) {
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

class Comparison {
  public:
    explicit Comparison(std::vector<std::string>& differences) : m_differences(differences) {}

    template <typename Value>
    void Same(const std::string& where, const char* what, const Value& found,
              const Value& expected) {
        if (!(found == expected)) {
            m_differences.push_back(where + ": " + what + " " + Text(found) + " in the module, " +
                                    Text(expected) + " in the table");
        }
    }
    void Note(const std::string& difference) { m_differences.push_back(difference); }

  private:
    template <typename Value>
    static std::string Text(const Value& value) {
        if constexpr (std::is_same_v<Value, std::variant<std::u16string, std::uint16_t>>) {
            return Describe(value);
        } else if constexpr (std::is_same_v<Value, std::u16string>) {
            return "\"" + Printable(value) + "\"";
        } else if constexpr (std::is_signed_v<Value>) {
            return std::to_string(value);
        } else {
            char text[16];
            std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(value));
            return text;
        }
    }

    std::vector<std::string>& m_differences;
};

void CompareTemplate(const DialogTemplate& dialog, const void* data, std::size_t size,
                     Comparison& compare) {
    const std::string where = "dialog " + std::to_string(dialog.id);
    TemplateReader in(data, size);
    compare.Same(where, "version", in.Word(), std::uint16_t{1});
    compare.Same(where, "signature", in.Word(), std::uint16_t{0xFFFF});
    compare.Same(where, "help id", in.Dword(), std::uint32_t{0});
    compare.Same(where, "extended style", in.Dword(), dialog.exStyle);
    compare.Same(where, "style", in.Dword(), dialog.style);
    const std::uint16_t count = in.Word();
    compare.Same(where, "control count", count, static_cast<std::uint16_t>(dialog.controls.size()));
    compare.Same(where, "x", in.Coordinate(), dialog.x);
    compare.Same(where, "y", in.Coordinate(), dialog.y);
    compare.Same(where, "width", in.Coordinate(), dialog.cx);
    compare.Same(where, "height", in.Coordinate(), dialog.cy);
    using TextOrOrdinal = std::variant<std::u16string, std::uint16_t>;
    compare.Same(where, "menu", in.TextOrOrdinal(), TextOrOrdinal{std::u16string()});
    compare.Same(where, "class", in.TextOrOrdinal(), TextOrOrdinal{std::u16string()});
    compare.Same(where, "title", in.Text(), FromScriptCodePage(dialog.title));
    if ((dialog.style & DS_SETFONT) != 0) {
        compare.Same(where, "point size", static_cast<int>(in.Word()), dialog.pointSize);
        compare.Same(where, "font weight", in.Word(), std::uint16_t{0});
        compare.Same(where, "italic and character set", in.Word(), std::uint16_t{0x0100});
        compare.Same(where, "font", in.Text(), FromScriptCodePage(dialog.fontName));
    }
    for (std::size_t i = 0; i < dialog.controls.size() && i < count; ++i) {
        const ControlTemplate& control = dialog.controls[i];
        const std::string at = where + ", control " + std::to_string(i + 1) + " (id " +
                               std::to_string(control.id) + ")";
        in.AlignToDword();
        compare.Same(at, "help id", in.Dword(), std::uint32_t{0});
        compare.Same(at, "extended style", in.Dword(), control.exStyle);
        compare.Same(at, "style", in.Dword(),
                     static_cast<std::uint32_t>(control.style | WS_CHILD | WS_VISIBLE));
        compare.Same(at, "x", in.Coordinate(), control.x);
        compare.Same(at, "y", in.Coordinate(), control.y);
        compare.Same(at, "width", in.Coordinate(), control.cx);
        compare.Same(at, "height", in.Coordinate(), control.cy);
        compare.Same(at, "id", in.Dword(), static_cast<std::uint32_t>(control.id));
        compare.Same(at, "class", in.TextOrOrdinal(), TextOrOrdinal{ClassAtomOf(control.kind)});
        const TextOrOrdinal text =
            control.iconResource != 0
                ? TextOrOrdinal{static_cast<std::uint16_t>(control.iconResource)}
                : TextOrOrdinal{FromScriptCodePage(control.text)};
        compare.Same(at, "text", in.TextOrOrdinal(), text);
        const std::uint16_t extra = in.Word();
        compare.Same(at, "creation data", extra, std::uint16_t{0});
        in.Skip(extra);
    }
    if (in.Truncated()) {
        compare.Note(where + ": the template ends early");
    }
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR found) {
    reinterpret_cast<std::vector<WORD>*>(found)->push_back(language);
    return TRUE;
}

BOOL CALLBACK CountName(HMODULE, LPCSTR, LPSTR, LONG_PTR count) {
    ++*reinterpret_cast<std::size_t*>(count);
    return TRUE;
}

}  // namespace

std::vector<std::string> DialogResourceDifferences(const ResourceTable& table,
                                                   const std::string& modulePath) {
    std::vector<std::string> differences;
    UniqueModule loaded;
    HMODULE module = ::GetModuleHandleA(nullptr);
    if (!modulePath.empty()) {
        loaded.Reset(::LoadLibraryExA(modulePath.c_str(), nullptr,
                                      LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
        if (!loaded) {
            return {modulePath + " does not load: error " + std::to_string(::GetLastError())};
        }
        module = loaded.Get();
    }
    Comparison compare(differences);
    std::size_t dialogs = 0;
    ::EnumResourceNamesA(module, RT_DIALOG, CountName, reinterpret_cast<LONG_PTR>(&dialogs));
    compare.Same("the module", "dialog count", dialogs, table.dialogs.size());
    for (const DialogTemplate& dialog : table.dialogs) {
        const std::string where = "dialog " + std::to_string(dialog.id);
        std::vector<WORD> languages;
        ::EnumResourceLanguagesA(module, RT_DIALOG, MAKEINTRESOURCEA(dialog.id), CollectLanguage,
                                 reinterpret_cast<LONG_PTR>(&languages));
        if (languages != std::vector<WORD>{dialog.language}) {
            std::string found;
            for (const WORD language : languages) {
                found += " " + std::to_string(language);
            }
            compare.Note(where + ": in the languages {" + found + " } instead of only " +
                         std::to_string(dialog.language));
        }
        const HRSRC resource =
            ::FindResourceExA(module, RT_DIALOG, MAKEINTRESOURCEA(dialog.id), dialog.language);
        const HGLOBAL loadedResource = resource ? ::LoadResource(module, resource) : nullptr;
        const void* data = loadedResource ? ::LockResource(loadedResource) : nullptr;
        if (data == nullptr) {
            compare.Note(where + ": not there in its language");
            continue;
        }
        CompareTemplate(dialog, data, ::SizeofResource(module, resource), compare);
    }
    return differences;
}

}  // namespace quotamin::testing
