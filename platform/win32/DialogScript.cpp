#include "platform/win32/DialogScript.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <stdexcept>

#include "platform/Styles.h"

namespace quotamin {

namespace {

// A text as a quoted string of the script: a quote doubled, a backslash escaped.
std::string Quoted(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 0x20) {
            throw std::invalid_argument("a control character in the text \"" + text + "\"");
        }
        if (c == '"') {
            quoted += "\"\"";
        } else if (c == '\\') {
            quoted += "\\\\";
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

std::string Hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
    return text;
}

// The system's own control classes, by their atoms: what the resource
// compiler makes of the names Button, Edit and Static.
const char* ClassAtom(ControlKind kind) {
    switch (kind) {
        case ControlKind::Button:
            return "0x0080";
        case ControlKind::Edit:
            return "0x0081";
        case ControlKind::Static:
            break;
    }
    return "0x0082";
}

std::string Numbers(std::initializer_list<int> values) {
    std::string text;
    for (const int value : values) {
        text += (text.empty() ? "" : ", ") + std::to_string(value);
    }
    return text;
}

void WriteDialog(const DialogTemplate& dialog, std::string& script) {
    script += "\n" + std::to_string(dialog.id) + " DIALOGEX " +
              Numbers({dialog.x, dialog.y, dialog.cx, dialog.cy}) + "\n";
    // Primary and secondary language, as the language id packs them.
    script += "LANGUAGE " + Numbers({dialog.language & 0x3FF, dialog.language >> 10}) + "\n";
    script += "STYLE " + Hex(dialog.style) + "\n";
    script += "EXSTYLE " + Hex(dialog.exStyle) + "\n";
    if (!dialog.title.empty()) {
        script += "CAPTION " + Quoted(dialog.title) + "\n";
    }
    if ((dialog.style & DS_SETFONT) != 0) {
        // Weight the font's own, not italic, DEFAULT_CHARSET.
        script += "FONT " + std::to_string(dialog.pointSize) + ", " + Quoted(dialog.fontName) +
                  ", 0, 0, 1\n";
    }
    script += "BEGIN\n";
    for (const ControlTemplate& control : dialog.controls) {
        const std::string text =
            control.iconResource != 0 ? std::to_string(control.iconResource) : Quoted(control.text);
        script += "    CONTROL " + text + ", " + std::to_string(control.id) + ", " +
                  ClassAtom(control.kind) + ", " + Hex(control.style | WS_CHILD | WS_VISIBLE) +
                  ", " + Numbers({control.x, control.y, control.cx, control.cy}) + ", " +
                  Hex(control.exStyle) + "\n";
    }
    script += "END\n";
}

}  // namespace

std::string DialogScript(const ResourceTable& table) {
    std::string script =
        "// The dialog templates, written by the build from the C++ resource table:\n"
        "// change the table, not this file. Control classes by their atoms: 0x0080\n"
        "// button, 0x0081 edit, 0x0082 static.\n"
        "#pragma code_page(" +
        std::to_string(kDialogScriptCodePage) + ")\n";
    for (const DialogTemplate& dialog : table.dialogs) {
        WriteDialog(dialog, script);
    }
    return script;
}

int WriteDialogScript(int argc, char** argv, const ResourceTable& table) {
    if (argc != 2) {
        std::cerr << "usage: " << (argc > 0 ? argv[0] : "dialog-script") << " <script.rc>\n";
        return 2;
    }
    std::string script;
    try {
        script = DialogScript(table);
    } catch (const std::invalid_argument& error) {
        std::cerr << argv[1] << ": " << error.what() << "\n";
        return 1;
    }
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << script;
    out.close();
    if (!out) {
        std::cerr << argv[1] << ": cannot be written\n";
        return 1;
    }
    return 0;
}

}  // namespace quotamin
