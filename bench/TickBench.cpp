// What one minute tick costs the bookkeeping: the balance charged and saved,
// and one log line. Beside it, a baseline that makes exactly the same file
// calls with the same durability and nothing else, and the same tick with a
// log that already holds 100 MB.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "core/MinuteAccount.h"
#include "core/NativeSystem.h"
#include "core/QuotaminConfig.h"
#include "log/TraceLog.h"

namespace {

namespace fs = std::filesystem;

class Scratch {
public:
    Scratch() : m_path(fs::temp_directory_path() / ("quotamin-bench-" + std::to_string(getpid()))) {
        fs::create_directories(m_path);
    }
    ~Scratch() { fs::remove_all(m_path); }
    std::string Dir() const { return m_path.string(); }
    std::string File(const char* name) const { return (m_path / name).string(); }

private:
    fs::path m_path;
};

void GrowLog(const std::string& path, std::size_t bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    const std::string line(100, 'x');
    for (std::size_t written = 0; written < bytes; written += line.size()) {
        std::fwrite(line.data(), 1, line.size(), file);
    }
    std::fclose(file);
}

void Tick(benchmark::State& state, std::size_t logBytes) {
    Scratch scratch;
    quotamin::NativeSystem system(scratch.Dir());
    quotamin::QuotaminConfig config(system);
    config.SetUser("bench");
    config.m_enabled = 1;
    const std::string logPath = scratch.File("quotamin.log");
    if (logBytes > 0) {
        GrowLog(logPath, logBytes);
    }
    quotamin::TraceLog log(logPath, quotamin::TraceLog::LocalClock);
    quotamin::MinuteAccount account;
    for (auto _ : state) {
        config.m_minutesRemaining = 1000;
        log.BeginLine() << "OnTimer elapsed=" << account.CountMinute();
        log.EndLine();
        account.ChargeMinute(config);
    }
}

void BM_Tick(benchmark::State& state) { Tick(state, 0); }
void BM_TickWith100MBLog(benchmark::State& state) { Tick(state, 100u << 20); }

// The same system calls by hand: the log line appended, the record written
// beside its file, flushed, renamed over it and the directory flushed.
void BM_Baseline(benchmark::State& state) {
    Scratch scratch;
    const std::string target = scratch.File("qm-bench.dat");
    const std::string pending = target + ".new";
    const std::string logPath = scratch.File("quotamin.log");
    const char record[20] = {1, 0, 0, 0, 120, 0, 0, 0, 99, 0, 0, 0, 1, 0, 0, 0, 17, 0, 0, 0};
    const char line[] = "12/11/26 09:30:00: OnTimer elapsed=1\r\n";
    for (auto _ : state) {
        const int log = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
        benchmark::DoNotOptimize(::write(log, line, sizeof line - 1));
        ::close(log);
        const int file = ::open(pending.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        benchmark::DoNotOptimize(::write(file, record, sizeof record));
        ::fsync(file);
        ::close(file);
        ::rename(pending.c_str(), target.c_str());
        const int dir = ::open(scratch.Dir().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::fsync(dir);
        ::close(dir);
    }
}

BENCHMARK(BM_Baseline)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Tick)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TickWith100MBLog)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
