#pragma once
// A system whose files live in memory, so that a fuzzer or a test can hand a
// loader thousands of files a second without touching the disk. The code page
// is the native one.

#include <algorithm>
#include <cstring>
#include <map>

#include "core/FileError.h"
#include "core/NativeSystem.h"

namespace quotamin::testing {

class MemoryInputFile : public InputFile {
  public:
    explicit MemoryInputFile(std::string_view content) : m_rest(content) {}
    std::size_t Read(char* buffer, std::size_t size) override {
        const std::size_t count = std::min(size, m_rest.size());
        std::memcpy(buffer, m_rest.data(), count);
        m_rest.remove_prefix(count);
        return count;
    }

  private:
    std::string_view m_rest;
};

class MemoryOutputFile : public OutputFile {
  public:
    MemoryOutputFile(std::string& content, bool truncate) : m_content(content) {
        if (truncate) {
            m_content.clear();
        }
    }
    bool Write(std::string_view bytes) override {
        m_content.replace(m_position, std::min(bytes.size(), m_content.size() - m_position), bytes);
        m_position += bytes.size();
        return true;
    }
    bool Flush() override { return true; }
    bool SetLength(std::size_t length) override {
        m_content.resize(length);
        return true;
    }

  private:
    std::string& m_content;
    std::size_t m_position = 0;
};

class MemorySystem : public System {
  public:
    std::string WindowsDirectory() override { return "memory"; }
    std::optional<int> TodayDayOfMonth() override { return today; }
    std::unique_ptr<InputFile> OpenForReading(const std::string& path) override {
        const auto file = files.find(path);
        if (file == files.end()) {
            return nullptr;
        }
        return std::make_unique<MemoryInputFile>(file->second);
    }
    std::unique_ptr<OutputFile> CreateForWriting(const std::string& path) override {
        return std::make_unique<MemoryOutputFile>(files[path], true);
    }
    std::unique_ptr<OutputFile> OpenForRewriting(const std::string& path) override {
        const auto file = files.find(path);
        if (file == files.end()) {
            return nullptr;
        }
        return std::make_unique<MemoryOutputFile>(file->second, false);
    }
    bool ReplaceWith(const std::string& from, const std::string& to) override {
        auto file = files.extract(from);
        if (file.empty()) {
            return false;
        }
        files[to] = std::move(file.mapped());
        return true;
    }
    void Remove(const std::string& path) override { files.erase(path); }
    // A missing file is the only failure, and no system call reports it.
    int LastErrorCode() override { return kNoSystemCode; }
    std::string FileNameAt(const std::string& path) override { return m_native.FileNameAt(path); }
    std::string UpperCase(std::string text) override { return m_native.UpperCase(text); }
    std::string FromUtf16(std::u16string_view text) override { return m_native.FromUtf16(text); }
    bool IsLeadByte(char byte) override { return m_native.IsLeadByte(byte); }

    // The path of a file in the Windows directory.
    std::string File(const std::string& name) { return WindowsDirectory() + kPathSeparator + name; }

    std::map<std::string, std::string> files;
    int today = 17;

  private:
    NativeSystem m_native{"memory"};
};

}  // namespace quotamin::testing
