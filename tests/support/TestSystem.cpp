#include "tests/support/TestSystem.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace quotamin::testing {

namespace {

// A file whose operations fail as the test system was told.
class FailingFile : public OutputFile {
  public:
    FailingFile(std::unique_ptr<OutputFile> file, const TestSystem& system)
        : m_file(std::move(file)), m_system(system) {}
    bool Write(std::string_view bytes) override {
        if (m_system.Fails(TestSystem::Failure::ShortWrite)) {
            m_file->Write(bytes.substr(0, bytes.size() / 2));
            return false;
        }
        return m_file->Write(bytes);
    }
    bool Flush() override { return !m_system.Fails(TestSystem::Failure::Flush) && m_file->Flush(); }
    bool SetLength(std::size_t length) override {
        return !m_system.Fails(TestSystem::Failure::SetLength) && m_file->SetLength(length);
    }

  private:
    std::unique_ptr<OutputFile> m_file;
    const TestSystem& m_system;
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
    if (Fails(Failure::Create)) {
        return nullptr;
    }
    auto file = NativeSystem::CreateForWriting(path);
    return file ? std::make_unique<FailingFile>(std::move(file), *this) : nullptr;
}

std::unique_ptr<OutputFile> TestSystem::OpenForRewriting(const std::string& path) {
    if (Fails(Failure::Rewrite)) {
        return nullptr;
    }
    auto file = NativeSystem::OpenForRewriting(path);
    return file ? std::make_unique<FailingFile>(std::move(file), *this) : nullptr;
}

bool TestSystem::ReplaceWith(const std::string& from, const std::string& to) {
    // A file that cannot be opened for writing is not replaced either.
    return !Fails(Failure::Replace) && !Fails(Failure::Rewrite) &&
           NativeSystem::ReplaceWith(from, to);
}

}  // namespace quotamin::testing
