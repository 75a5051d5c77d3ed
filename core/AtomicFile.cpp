#include "core/AtomicFile.h"

#include "core/FileError.h"
#include "core/System.h"

namespace quotamin {

namespace {

// True when the bytes went beside the file and took its place; false when
// they could not, and nothing is left beside it.
bool ReplaceFromBeside(System& system, const std::string& path, std::string_view bytes) {
    const std::string pending = PendingPathFor(path);
    {
        auto file = system.CreateForWriting(pending);
        if (!file) {
            return false;
        }
        // A failed write is a full disk or worse: writing in place would risk
        // the old file for nothing.
        if (!file->Write(bytes) || !file->Flush()) {
            const int code = system.LastErrorCode();
            file.reset();
            system.Remove(pending);
            throw FileError(path, kCantWrite, code);
        }
    }
    if (system.ReplaceWith(pending, path)) {
        return true;
    }
    system.Remove(pending);
    return false;
}

void RewriteInPlace(System& system, const std::string& path, std::string_view bytes) {
    auto file = system.OpenForRewriting(path);
    if (!file) {
        throw FileError(path, kCantOpenForWriting, system.LastErrorCode());
    }
    // Cut last: until then the file holds the new content followed by what
    // is left of the old, which loading ignores.
    if (!file->Write(bytes) || !file->Flush() || !file->SetLength(bytes.size())) {
        throw FileError(path, kCantWrite, system.LastErrorCode());
    }
}

}  // namespace

std::string PendingPathFor(const std::string& path) {
    return path + ".new";
}

void ReplaceFileContent(System& system, const std::string& path, std::string_view bytes) {
    if (!ReplaceFromBeside(system, path, bytes)) {
        RewriteInPlace(system, path, bytes);
    }
}

}  // namespace quotamin
