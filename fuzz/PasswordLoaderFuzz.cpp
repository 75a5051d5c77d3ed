// Any bytes as a password file, in any of the length-prefix forms (one byte,
// FF and 16 bits, FF FF FF and 32 bits, and the 16-bit-character form behind
// FF FE FF): loading either reads a text or fails with the end-of-file error,
// and a text that was read is written back in the shortest form and reads
// back the same. Memory never grows with what a prefix announces, only with
// what the file holds (scripts/fuzz.sh caps every allocation).

#include <cstdint>

#include "core/AtomicFile.h"
#include "core/FileError.h"
#include "core/PasswordStore.h"
#include "fuzz/Require.h"
#include "tests/support/MemorySystem.h"

using quotamin::FileError;
using quotamin::PasswordStore;
using quotamin::PendingPathFor;
using quotamin::fuzzing::Require;
using quotamin::testing::MemorySystem;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string file(reinterpret_cast<const char*>(data), size);
    MemorySystem system;
    PasswordStore store(system);
    system.files[store.FilePath()] = file;
    try {
        Require(store.Load(), "a file that is there is loaded");
    } catch (const FileError& error) {
        Require(error.what() == store.FilePath() + " - Unexpected end of file",
                "the only read failure is the end of the file");
        Require(store.GetPassword() == PasswordStore::kInitialPassword,
                "a failed load keeps the password");
        return 0;
    }

    const std::string password = store.GetPassword();
    store.Save();
    const std::string& saved = system.files[store.FilePath()];
    const std::size_t prefix = password.size() < 255 ? 1 : password.size() < 65534 ? 3 : 7;
    Require(saved.size() == prefix + password.size(), "the save uses the shortest prefix");
    // Same size means the same form and nothing after the text: the same bytes.
    Require(saved.size() != file.size() || saved == file, "a canonical file is written back as is");
    Require(!system.files.contains(PendingPathFor(store.FilePath())), "no pending file is left");

    PasswordStore reloaded(system);
    Require(reloaded.Load() && reloaded.GetPassword() == password,
            "a saved password loads back unchanged");
    return 0;
}
