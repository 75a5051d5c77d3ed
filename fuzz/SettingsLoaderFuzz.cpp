// Any bytes as a settings file: loading never throws, takes a whole record
// from the first 20 bytes or treats a shorter file as missing, and saving
// what it loaded gives those 20 bytes back with the logoff flag as 0 or 1.

#include <cstdint>

#include "core/AtomicFile.h"
#include "core/QuotaminConfig.h"
#include "fuzz/Require.h"
#include "tests/support/MemorySystem.h"

using quotamin::PendingPathFor;
using quotamin::QuotaminConfig;
using quotamin::fuzzing::Require;
using quotamin::testing::MemorySystem;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string file(reinterpret_cast<const char*>(data), size);
    MemorySystem system;
    const std::string path = system.File("qm-bob.dat");
    system.files[path] = file;

    QuotaminConfig config(system);
    config.m_filePath = path;
    const bool loaded = config.Load();
    Require(loaded == (size >= QuotaminConfig::kFileSize),
            "a whole record loads and a shorter file counts as missing");
    if (!loaded) {
        const QuotaminConfig fresh(system);
        Require(config.m_enabled == fresh.m_enabled && config.m_lastDay == fresh.m_lastDay &&
                    config.m_minutesAllowed == fresh.m_minutesAllowed &&
                    config.m_minutesRemaining == fresh.m_minutesRemaining &&
                    config.m_logoffOnExpiry == fresh.m_logoffOnExpiry,
                "a short file leaves the fields as they were");
        return 0;
    }
    Require(config.m_logoffOnExpiry == 0 || config.m_logoffOnExpiry == 1,
            "the logoff flag is 0 or 1 after a load");

    // On the record's own day nothing is reset, so the save writes what was read.
    system.today = config.m_lastDay;
    config.Save();
    std::string expected = file.substr(0, QuotaminConfig::kFileSize);
    const bool logoff = expected.substr(12, 4) != std::string(4, '\0');
    expected.replace(12, 4, std::string(logoff ? "\x01\0\0\0" : "\0\0\0\0", 4));
    Require(system.files[path] == expected, "saving a loaded record writes its 20 bytes back");
    Require(!system.files.contains(PendingPathFor(path)), "no pending file is left");

    // A program start on another day resets the balance and leaves a whole record.
    system.files[path] = file;
    system.today = config.m_lastDay == 5 ? 6 : 5;
    QuotaminConfig started(system);
    started.SetUser("bob");
    Require(system.files[path].size() == QuotaminConfig::kFileSize &&
                started.m_minutesRemaining == started.m_minutesAllowed,
            "a new day writes a whole record with the full allowance");
    return 0;
}
