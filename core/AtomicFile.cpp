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

// True when the file at `path` holds fewer than `size` bytes.
bool IsShorterThan(System& system, const std::string& path, std::size_t size) {
    auto file = system.OpenForReading(path);
    if (!file) {
        return false;
    }
    char buffer[512];
    std::size_t length = 0;
    try {
        while (length < size) {
            const std::size_t got = file->Read(buffer, sizeof buffer);
            if (got == 0) {
                return true;
            }
            length += got;
        }
    } catch (const FileError&) {
        // Not readable: written over as it is.
    }
    return false;
}

void RewriteInPlace(System& system, const std::string& path, std::string_view bytes) {
    // A write that makes the file longer changes its length and its bytes,
    // which a power cut can part: the new start could stay without the
    // length it needs. So the file grows first, by zeros after the old
    // content, which loading ignores, and that is flushed; the write then
    // changes no length.
    const bool grows = IsShorterThan(system, path, bytes.size());
    auto file = system.OpenForRewriting(path);
    if (!file) {
        throw FileError(path, kCantOpenForWriting, system.LastErrorCode());
    }
    if (grows && (!file->SetLength(bytes.size()) || !file->Flush())) {
        throw FileError(path, kCantWrite, system.LastErrorCode());
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
