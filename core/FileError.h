#pragma once
// The error raised when one of the program's data files cannot be read or written.
// Its text names the file and what failed, so that it can be shown as it is;
// the system's own code for the failure goes with it, for the log and for tests.

#include <stdexcept>
#include <string>

namespace quotamin {

// The system code of a failure that no call of the system reported.
inline constexpr int kNoSystemCode = 0;

class FileError : public std::runtime_error {
  public:
    // `systemCode`: errno, or GetLastError() on Windows; kNoSystemCode when no
    // call of the system failed (a file that ends before its content does).
    FileError(const std::string& path, const std::string& failure, int systemCode)
        : std::runtime_error(path + " - " + failure), m_systemCode(systemCode) {}

    int SystemCode() const { return m_systemCode; }

  private:
    int m_systemCode;
};

inline constexpr const char* kCantOpenForWriting = "Can't open file for writing";
inline constexpr const char* kCantWrite = "Can't write file";
inline constexpr const char* kUnexpectedEnd = "Unexpected end of file";
inline constexpr const char* kCantRead = "Can't read file";

}  // namespace quotamin
