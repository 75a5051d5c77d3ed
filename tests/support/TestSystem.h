#pragma once
// The native system with a temporary Windows directory of its own, a day of
// the month the test sets, and file operations that can be made to fail.

#include <filesystem>
#include <string>

#include "core/NativeSystem.h"

namespace quotamin::testing {

// A directory of its own below the system's temporary directory, removed with its content.
class TempDirectory {
  public:
    TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;
    ~TempDirectory();

    const std::filesystem::path& Path() const { return m_path; }
    std::string File(const std::string& name) const { return (m_path / name).string(); }

  private:
    std::filesystem::path m_path;
};

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);

class TestSystem : public NativeSystem {
  public:
    std::string WindowsDirectory() override { return m_directory.Path().string(); }
    int TodayDayOfMonth() override { return today; }
    std::unique_ptr<OutputFile> CreateForWriting(const std::string& path) override;
    bool ReplaceWith(const std::string& from, const std::string& to) override;

    // The path of a file in the Windows directory.
    std::string File(const std::string& name) const { return m_directory.File(name); }

    int today = 17;
    enum class Failure { None, Create, ShortWrite, Flush, Replace };
    Failure failure = Failure::None;

  private:
    TempDirectory m_directory;
};

}  // namespace quotamin::testing
