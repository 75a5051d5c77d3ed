#include <ctime>
#include <optional>
#include <vector>

#include "core/FileError.h"
#include "core/NativeSystem.h"
#include "os/Win32Handles.h"

namespace quotamin {

namespace {

class Win32InputFile : public InputFile {
  public:
    Win32InputFile(UniqueFileHandle file, std::string path)
        : m_file(std::move(file)), m_path(std::move(path)) {}
    std::size_t Read(char* buffer, std::size_t size) override {
        DWORD got = 0;
        const DWORD wanted = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
        if (!::ReadFile(m_file.Get(), buffer, wanted, &got, nullptr)) {
            throw FileError(m_path, kCantRead, static_cast<int>(::GetLastError()));
        }
        return got;
    }

  private:
    UniqueFileHandle m_file;
    std::string m_path;
};

class Win32OutputFile : public OutputFile {
  public:
    explicit Win32OutputFile(UniqueFileHandle file) : m_file(std::move(file)) {}
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
    bool SetLength(std::size_t length) override {
        // The next write goes where the last one ended, as after ftruncate.
        LARGE_INTEGER here{};
        LARGE_INTEGER end{};
        end.QuadPart = static_cast<LONGLONG>(length);
        return ::SetFilePointerEx(m_file.Get(), LARGE_INTEGER{}, &here, FILE_CURRENT) &&
               ::SetFilePointerEx(m_file.Get(), end, nullptr, FILE_BEGIN) &&
               ::SetEndOfFile(m_file.Get()) &&
               ::SetFilePointerEx(m_file.Get(), here, nullptr, FILE_BEGIN);
    }

  private:
    UniqueFileHandle m_file;
};

// An existing file on a disk opened for writing, shared with nobody, or none.
UniqueFileHandle OpenDiskFileForWriting(const std::string& path) {
    UniqueFileHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file && ::GetFileType(file.Get()) != FILE_TYPE_DISK) {
        file.Reset();
        ::SetLastError(ERROR_INVALID_FUNCTION);  // not a file on a disk: not one to write
    }
    return file;
}

// The attributes a replacement carries over from the file it replaces.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// Gives `to` the access control list of `from`. Where that cannot be done,
// `to` keeps the one it inherited from the directory.
void CopyAccessControl(const std::string& from, const std::string& to) {
    DWORD size = 0;
    ::GetFileSecurityA(from.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &size);
    if (size == 0) {
        return;
    }
    std::vector<BYTE> descriptor(size);
    if (::GetFileSecurityA(from.c_str(), DACL_SECURITY_INFORMATION, descriptor.data(), size,
                           &size)) {
        ::SetFileSecurityA(to.c_str(), DACL_SECURITY_INFORMATION, descriptor.data());
    }
}

// One move, on the disk when it returns, that an old file of the name gives
// way to in the same step. ReplaceFileA would carry more of the old file over,
// but it is neither written through nor one step: a power cut after it can
// bring back the old file, and one between its steps can leave neither.
bool MoveIntoPlace(const std::string& from, const std::string& to) {
    return ::MoveFileExA(from.c_str(), to.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

}  // namespace

std::string NativeSystem::WindowsDirectory() {
    char directory[MAX_PATH + 1] = {};
    ::GetWindowsDirectoryA(directory, MAX_PATH);
    return directory;
}

std::optional<int> NativeSystem::TodayDayOfMonth() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_s(&local, &now) != 0) {
        return std::nullopt;
    }
    return local.tm_mday;
}

std::unique_ptr<InputFile> NativeSystem::OpenForReading(const std::string& path) {
    UniqueFileHandle file(::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return nullptr;
    }
    return std::make_unique<Win32InputFile>(std::move(file), path);
}

std::unique_ptr<OutputFile> NativeSystem::CreateForWriting(const std::string& path) {
    UniqueFileHandle file(::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return nullptr;
    }
    return std::make_unique<Win32OutputFile>(std::move(file));
}

std::unique_ptr<OutputFile> NativeSystem::OpenForRewriting(const std::string& path) {
    UniqueFileHandle file = OpenDiskFileForWriting(path);
    if (!file) {
        return nullptr;
    }
    return std::make_unique<Win32OutputFile>(std::move(file));
}

bool NativeSystem::ReplaceWith(const std::string& from, const std::string& to) {
    const DWORD attributes = ::GetFileAttributesA(to.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
            return false;
        }
        return MoveIntoPlace(from, to);
    }
    // A file this process may not write (read-only, a directory, held open by
    // another program, denied by its access rights) is not replaced.
    if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) {
        return false;
    }
    if (!OpenDiskFileForWriting(to)) {
        return false;
    }
    // The new file takes on the old one's attributes and access rights.
    ::SetFileAttributesA(from.c_str(), attributes & kKeptAttributes);
    CopyAccessControl(to, from);
    return MoveIntoPlace(from, to);
}

void NativeSystem::Remove(const std::string& path) {
    ::DeleteFileA(path.c_str());
}

int NativeSystem::LastErrorCode() {
    return static_cast<int>(::GetLastError());
}

std::string NativeSystem::FileNameAt(const std::string& path) {
    std::string name = path;
    const DWORD size = ::GetLongPathNameA(path.c_str(), nullptr, 0);
    if (size > 0) {
        std::vector<char> buffer(size + 1, '\0');
        if (::GetLongPathNameA(path.c_str(), buffer.data(), size) > 0) {
            name = buffer.data();
        }
    }
    return name.substr(name.find_last_of("\\/") + 1);
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
