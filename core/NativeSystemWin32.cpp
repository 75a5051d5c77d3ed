#include <windows.h>

#include <ctime>
#include <vector>

#include "core/FileError.h"
#include "core/NativeSystem.h"

namespace quotamin {

namespace {

class Handle {
  public:
    explicit Handle(HANDLE handle) : m_handle(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { ::CloseHandle(m_handle); }
    HANDLE Get() const { return m_handle; }

  private:
    HANDLE m_handle;
};

class Win32InputFile : public InputFile {
  public:
    Win32InputFile(HANDLE handle, std::string path) : m_file(handle), m_path(std::move(path)) {}
    std::size_t Read(char* buffer, std::size_t size) override {
        DWORD got = 0;
        const DWORD wanted = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
        if (!::ReadFile(m_file.Get(), buffer, wanted, &got, nullptr)) {
            throw FileError(m_path, kCantRead);
        }
        return got;
    }

  private:
    Handle m_file;
    std::string m_path;
};

class Win32OutputFile : public OutputFile {
  public:
    explicit Win32OutputFile(HANDLE handle) : m_file(handle) {}
    bool Write(std::string_view bytes) override {
        while (!bytes.empty()) {
            const DWORD wanted =
                bytes.size() > 0x10000000 ? 0x10000000 : static_cast<DWORD>(bytes.size());
            DWORD written = 0;
            if (!::WriteFile(m_file.Get(), bytes.data(), wanted, &written, nullptr) ||
                written == 0) {
                return false;
            }
            bytes.remove_prefix(written);
        }
        return true;
    }
    bool Flush() override { return ::FlushFileBuffers(m_file.Get()) != 0; }

  private:
    Handle m_file;
};

}  // namespace

std::string NativeSystem::WindowsDirectory() {
    char directory[MAX_PATH + 1] = {};
    ::GetWindowsDirectoryA(directory, MAX_PATH);
    return directory;
}

int NativeSystem::TodayDayOfMonth() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_s(&local, &now);
    return local.tm_mday;
}

std::unique_ptr<InputFile> NativeSystem::OpenForReading(const std::string& path) {
    HANDLE handle = ::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    return std::make_unique<Win32InputFile>(handle, path);
}

std::unique_ptr<OutputFile> NativeSystem::CreateForWriting(const std::string& path) {
    HANDLE handle = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    return std::make_unique<Win32OutputFile>(handle);
}

bool NativeSystem::ReplaceWith(const std::string& from, const std::string& to) {
    return ::MoveFileExA(from.c_str(), to.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void NativeSystem::Remove(const std::string& path) {
    ::DeleteFileA(path.c_str());
}

std::string NativeSystem::UpperCase(std::string text) {
    if (!text.empty()) {
        ::CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
    }
    return text;
}

std::string NativeSystem::FromUtf16(std::u16string_view text) {
    const std::size_t end = text.find(u'\0');
    if (end != std::u16string_view::npos) {
        text = text.substr(0, end);
    }
    if (text.empty()) {
        return {};
    }
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int length = static_cast<int>(text.size());
    const int size = ::WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) {
        ::WideCharToMultiByte(CP_ACP, 0, wide, length, result.data(), size, nullptr, nullptr);
    }
    return result;
}

bool NativeSystem::IsLeadByte(char byte) {
    return ::IsDBCSLeadByte(static_cast<BYTE>(byte)) != 0;
}

}  // namespace quotamin
