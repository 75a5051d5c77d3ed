#include "core/AtomicFile.h"

#include "core/FileError.h"
#include "core/System.h"

namespace quotamin {

std::string PendingPathFor(const std::string& path) {
    return path + ".new";
}

void ReplaceFileContent(System& system, const std::string& path, std::string_view bytes) {
    const std::string pending = PendingPathFor(path);
    {
        auto file = system.CreateForWriting(pending);
        if (!file) {
            throw FileError(path, kCantOpenForWriting);
        }
        if (!file->Write(bytes) || !file->Flush()) {
            file.reset();
            system.Remove(pending);
            throw FileError(path, kCantWrite);
        }
    }
    if (!system.ReplaceWith(pending, path)) {
        system.Remove(pending);
        throw FileError(path, kCantReplace);
    }
}

}  // namespace quotamin
