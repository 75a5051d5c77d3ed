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
    std::optional<int> TodayDayOfMonth() override {
        return noLocalDate ? std::nullopt : std::optional<int>(today);
    }
    std::unique_ptr<OutputFile> CreateForWriting(const std::string& path) override;
    std::unique_ptr<OutputFile> OpenForRewriting(const std::string& path) override;
    bool ReplaceWith(const std::string& from, const std::string& to) override;

    // The path of a file in the Windows directory.
    std::string File(const std::string& name) const { return m_directory.File(name); }

    int today = 17;
    // The clock gives no local date.
    bool noLocalDate = false;

    // File operations that fail, one or several at once (Create | Rewrite).
    enum class Failure : unsigned {
        None = 0,
        Create = 1 << 0,      // the file beside cannot be created
        ShortWrite = 1 << 1,  // a write stops half way and fails, as on a full disk
        Flush = 1 << 2,
        Replace = 1 << 3,  // the file beside cannot take the old one's place
        Rewrite = 1 << 4,  // the old file cannot be opened for writing
        SetLength = 1 << 5,
    };
    Failure failure = Failure::None;
    bool Fails(Failure operation) const {
        return (static_cast<unsigned>(failure) & static_cast<unsigned>(operation)) != 0;
    }

  private:
    TempDirectory m_directory;
};

constexpr TestSystem::Failure operator|(TestSystem::Failure a, TestSystem::Failure b) {
    return static_cast<TestSystem::Failure>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}

}  // namespace quotamin::testing
