#include "tests/support/TestSystem.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace quotamin::testing {

namespace {

// Writes half of what it is given, as a full disk would, then reports failure.
class ShortWritingFile : public OutputFile {
  public:
    explicit ShortWritingFile(std::unique_ptr<OutputFile> file) : m_file(std::move(file)) {}
    bool Write(std::string_view bytes) override {
        m_file->Write(bytes.substr(0, bytes.size() / 2));
        return false;
    }
    bool Flush() override { return m_file->Flush(); }

  private:
    std::unique_ptr<OutputFile> m_file;
};

class FailingFlushFile : public OutputFile {
  public:
    explicit FailingFlushFile(std::unique_ptr<OutputFile> file) : m_file(std::move(file)) {}
    bool Write(std::string_view bytes) override { return m_file->Write(bytes); }
    bool Flush() override { return false; }

  private:
    std::unique_ptr<OutputFile> m_file;
};

}  // namespace

TempDirectory::TempDirectory() {
    static std::atomic<int> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    m_path = std::filesystem::temp_directory_path() /
             ("quotamin-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(m_path);
}

TempDirectory::~TempDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::unique_ptr<OutputFile> TestSystem::CreateForWriting(const std::string& path) {
    if (failure == Failure::Create) {
        return nullptr;
    }
    auto file = NativeSystem::CreateForWriting(path);
    if (file && failure == Failure::ShortWrite) {
        return std::make_unique<ShortWritingFile>(std::move(file));
    }
    if (file && failure == Failure::Flush) {
        return std::make_unique<FailingFlushFile>(std::move(file));
    }
    return file;
}

bool TestSystem::ReplaceWith(const std::string& from, const std::string& to) {
    return failure != Failure::Replace && NativeSystem::ReplaceWith(from, to);
}

}  // namespace quotamin::testing
