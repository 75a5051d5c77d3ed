#pragma once
// What the ration bookkeeping needs of the operating system: the Windows
// directory, today's day of the month, a handful of file operations and the
// ANSI code page. Tests replace any of it (a temporary directory, a fake clock,
// a file operation that fails) by deriving from the native implementation.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace quotamin {

// Joins the Windows directory and a file name.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// A file opened for reading; closed when destroyed.
class InputFile {
  public:
    virtual ~InputFile() = default;
    // Reads up to `size` bytes; returns how many were read, 0 at the end of the file.
    // Throws FileError when the read itself fails.
    virtual std::size_t Read(char* buffer, std::size_t size) = 0;
};

// A file opened for writing; closed when destroyed.
class OutputFile {
  public:
    virtual ~OutputFile() = default;
    // Writes all `bytes`; false when not all of them could be written.
    virtual bool Write(std::string_view bytes) = 0;
    // Pushes what was written through to the disk; false on failure.
    virtual bool Flush() = 0;
    // Ends the file after its first `length` bytes; false on failure.
    virtual bool SetLength(std::size_t length) = 0;
};

class System {
  public:
    virtual ~System() = default;

    // The directory of the settings and password files, as the system reports it.
    virtual std::string WindowsDirectory() = 0;
    // Today's day of the month (1 to 31) in local time; nothing when the clock
    // gives no local date.
    virtual std::optional<int> TodayDayOfMonth() = 0;

    // Opens an existing file for reading only, shared with nobody; null when it cannot.
    virtual std::unique_ptr<InputFile> OpenForReading(const std::string& path) = 0;
    // Creates or truncates a file for writing, shared with nobody; null when it cannot.
    virtual std::unique_ptr<OutputFile> CreateForWriting(const std::string& path) = 0;
    // Opens an existing regular file for writing from its start, without
    // creating or truncating it, shared with nobody; null when it cannot.
    virtual std::unique_ptr<OutputFile> OpenForRewriting(const std::string& path) = 0;
    // Puts `from` in place of `to` in one step. An existing `to` must be a file
    // this process could open for writing, and keeps its attributes and access
    // rights; false when any of that cannot be done, and `to` is then unchanged.
    virtual bool ReplaceWith(const std::string& from, const std::string& to) = 0;
    // Removes a file if it exists.
    virtual void Remove(const std::string& path) = 0;
    // The system's code for why the file operation that failed last failed,
    // be it one of these or one of a file they opened (errno; GetLastError()
    // on Windows). Asked right after the failure, before another call can
    // change it.
    virtual int LastErrorCode() = 0;
    // The name the file at `path` has in its directory: where the system also
    // finds a file under another name (on Windows its short 8.3 name), the
    // file's own name; otherwise the last part of `path`.
    virtual std::string FileNameAt(const std::string& path) = 0;

    // The ANSI code page's upper-case mapping.
    virtual std::string UpperCase(std::string text) = 0;
    // Converts UTF-16 text to the ANSI code page, up to its first zero character.
    virtual std::string FromUtf16(std::u16string_view text) = 0;
    // True when `byte` starts a double-byte character in the ANSI code page.
    virtual bool IsLeadByte(char byte) = 0;
};

}  // namespace quotamin
