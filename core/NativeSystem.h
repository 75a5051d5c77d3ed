#pragma once
// The system the program runs on: Win32 on Windows, POSIX elsewhere.

#include "core/System.h"

namespace quotamin {

class NativeSystem : public System {
  public:
#ifdef _WIN32
    NativeSystem() = default;
#else
    // Outside Windows the settings and password files live in one fixed directory.
    explicit NativeSystem(std::string windowsDirectory = kDefaultDirectory)
        : m_windowsDirectory(std::move(windowsDirectory)) {}
    static constexpr const char* kDefaultDirectory = "/var/lib/quotamin";
#endif

    std::string WindowsDirectory() override;
    std::optional<int> TodayDayOfMonth() override;
    std::unique_ptr<InputFile> OpenForReading(const std::string& path) override;
    std::unique_ptr<OutputFile> CreateForWriting(const std::string& path) override;
    std::unique_ptr<OutputFile> OpenForRewriting(const std::string& path) override;
    bool ReplaceWith(const std::string& from, const std::string& to) override;
    void Remove(const std::string& path) override;
    int LastErrorCode() override;
    std::string FileNameAt(const std::string& path) override;
    std::string UpperCase(std::string text) override;
    std::string FromUtf16(std::u16string_view text) override;
    bool IsLeadByte(char byte) override;

#ifndef _WIN32
  private:
    std::string m_windowsDirectory;
#endif
};

}  // namespace quotamin
