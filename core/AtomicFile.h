#pragma once
// Replaces a file's whole content so that a reader always finds either the
// old complete file or the new complete one: the bytes go to a file beside it,
// are flushed to the disk, and then take its place in one step. A crash, a
// kill or a full disk in the middle leaves the old file as it was.

#include <string>
#include <string_view>

namespace quotamin {

class System;

// Throws FileError naming `path`: kCantOpenForWriting when the file beside it
// cannot be created, kCantWrite when the bytes do not all reach the disk,
// kCantReplace when the old file cannot be replaced.
void ReplaceFileContent(System& system, const std::string& path, std::string_view bytes);

// The file beside `path` that a replacement is written to first.
std::string PendingPathFor(const std::string& path);

}  // namespace quotamin
