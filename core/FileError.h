#pragma once
// The error raised when one of the program's data files cannot be read or written.
// Its text names the file and what failed, so that it can be shown as it is.

#include <stdexcept>
#include <string>

namespace quotamin {

class FileError : public std::runtime_error {
  public:
    FileError(const std::string& path, const std::string& failure)
        : std::runtime_error(path + " - " + failure) {}
};

inline constexpr const char* kCantOpenForWriting = "Can't open file for writing";
inline constexpr const char* kCantWrite = "Can't write file";
inline constexpr const char* kUnexpectedEnd = "Unexpected end of file";
inline constexpr const char* kCantRead = "Can't read file";

}  // namespace quotamin
