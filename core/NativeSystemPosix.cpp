#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "core/FileError.h"
#include "core/NativeSystem.h"
#include "os/FileDescriptor.h"
#include "os/WriteAll.h"

namespace quotamin {

namespace {

class PosixInputFile : public InputFile {
  public:
    PosixInputFile(UniqueFd file, std::string path)
        : m_file(std::move(file)), m_path(std::move(path)) {}
    std::size_t Read(char* buffer, std::size_t size) override {
        for (;;) {
            const ssize_t got = ::read(m_file.Get(), buffer, size);
            if (got >= 0) {
                return static_cast<std::size_t>(got);
            }
            if (errno != EINTR) {
                throw FileError(m_path, kCantRead, errno);
            }
        }
    }

  private:
    UniqueFd m_file;
    std::string m_path;
};

class PosixOutputFile : public OutputFile {
  public:
    explicit PosixOutputFile(UniqueFd file) : m_file(std::move(file)) {}
    bool Write(std::string_view bytes) override { return WriteAll(m_file.Get(), bytes); }
    bool Flush() override { return ::fsync(m_file.Get()) == 0; }
    bool SetLength(std::size_t length) override {
        return ::ftruncate(m_file.Get(), static_cast<off_t>(length)) == 0;
    }

  private:
    UniqueFd m_file;
};

// An existing regular file opened for writing, or none. Not blocking: a FIFO
// in the file's place must not hold the program up.
UniqueFd OpenRegularFileForWriting(const std::string& path) {
    UniqueFd file(::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat status {};
    if (file && ::fstat(file.Get(), &status) != 0) {
        return {};
    }
    if (file && !S_ISREG(status.st_mode)) {
        file.Reset();
        errno = EINVAL;  // not a regular file: not one to write
    }
    return file;
}

std::string DirectoryOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
}

}  // namespace

std::string NativeSystem::WindowsDirectory() {
    return m_windowsDirectory;
}

std::optional<int> NativeSystem::TodayDayOfMonth() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr) {
        return std::nullopt;
    }
    return local.tm_mday;
}

std::unique_ptr<InputFile> NativeSystem::OpenForReading(const std::string& path) {
    UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file) {
        return nullptr;
    }
    // A directory opens here but cannot be read; like Windows, treat it as no file.
    struct stat status {};
    if (::fstat(file.Get(), &status) != 0 || S_ISDIR(status.st_mode)) {
        return nullptr;
    }
    return std::make_unique<PosixInputFile>(std::move(file), path);
}

std::unique_ptr<OutputFile> NativeSystem::CreateForWriting(const std::string& path) {
    UniqueFd file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (!file) {
        return nullptr;
    }
    return std::make_unique<PosixOutputFile>(std::move(file));
}

std::unique_ptr<OutputFile> NativeSystem::OpenForRewriting(const std::string& path) {
    UniqueFd file = OpenRegularFileForWriting(path);
    if (!file) {
        return nullptr;
    }
    return std::make_unique<PosixOutputFile>(std::move(file));
}

bool NativeSystem::ReplaceWith(const std::string& from, const std::string& to) {
    struct stat target {};
    if (::lstat(to.c_str(), &target) == 0) {
        // A link is left as the administrator made it, and a file this process
        // may not write is not replaced behind its owner's back.
        if (!S_ISREG(target.st_mode)) {
            return false;
        }
        if (!OpenRegularFileForWriting(to)) {
            return false;
        }
        // The new file takes the old one's owner, group and permissions, or
        // does not take its place.
        struct stat replacement {};
        if (::stat(from.c_str(), &replacement) != 0) {
            return false;
        }
        if ((replacement.st_uid != target.st_uid || replacement.st_gid != target.st_gid) &&
            ::chown(from.c_str(), target.st_uid, target.st_gid) != 0) {
            return false;
        }
        if (::chmod(from.c_str(), target.st_mode & 07777) != 0) {
            return false;
        }
    } else if (errno != ENOENT) {
        return false;
    }
    if (::rename(from.c_str(), to.c_str()) != 0) {
        return false;
    }
    // The new name must reach the disk too, or a power cut could bring back the old file.
    const UniqueFd directory(::open(DirectoryOf(to).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory) {
        ::fsync(directory.Get());
    }
    return true;
}

void NativeSystem::Remove(const std::string& path) {
    ::unlink(path.c_str());
}

int NativeSystem::LastErrorCode() {
    return errno;
}

std::string NativeSystem::FileNameAt(const std::string& path) {
    return path.substr(path.rfind('/') + 1);
}

std::string NativeSystem::UpperCase(std::string text) {
    // Without an ANSI code page only the ASCII letters have a capital form.
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

std::string NativeSystem::FromUtf16(std::u16string_view text) {
    // Stands in for the ANSI code page: Latin-1 maps one to one, the rest becomes '?'.
    std::string result;
    for (const char16_t unit : text) {
        if (unit == 0) {
            break;
        }
        result.push_back(unit < 0x100 ? static_cast<char>(unit) : '?');
    }
    return result;
}

bool NativeSystem::IsLeadByte(char) {
    return false;
}

}  // namespace quotamin
