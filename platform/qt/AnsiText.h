#pragma once
// The program's text is single-byte text in the Windows ANSI code page
// (Windows-1252, Western European); Qt's is Unicode. These convert between the
// two as Windows does, so that a password typed on either system is the same
// bytes in the password file.

#include <QtCore/QString>
#include <string>

namespace quotamin {

QString FromAnsi(const std::string& text);
// A character the code page lacks becomes '?', as Windows' conversion gives it.
std::string ToAnsi(const QString& text);

}  // namespace quotamin
