#pragma once
// Replaces a file's whole content so that a reader always finds either the
// old complete file or the new complete one: the bytes go to a file beside it,
// are flushed to the disk, and then take its place in one step. A crash, a
// kill or a full disk in the middle leaves the old file as it was.
//
// Where the file beside cannot be created or cannot take the old one's place
// (a directory the user may not write, a file whose owner or access rights a
// new file could not carry), the old file is written in place instead, with
// the rights that takes and no more: a file shorter than the content is first
// grown to its length by zeros after the old content, flushed; then the whole
// content goes in one write from its start, flushed, and the file is cut to
// that length. Content that one write carries whole (the 20-byte settings
// record, any ordinary password) cannot be torn by a kill there either; a
// longer one can be left new at its start and old after that. A power cut
// tears no content that lies in the first 512-byte sector, as long as the
// disk writes a sector whole or not at all.

#include <string>
#include <string_view>

namespace quotamin {

class System;

// Throws FileError naming `path`: kCantOpenForWriting when neither the file
// beside it can be created nor the file itself opened for writing, kCantWrite
// when the bytes do not all reach the disk.
void ReplaceFileContent(System& system, const std::string& path, std::string_view bytes);

// The file beside `path` that a replacement is written to first.
std::string PendingPathFor(const std::string& path);

}  // namespace quotamin
