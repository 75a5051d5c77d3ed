#pragma once
// The owner of a POSIX file descriptor (see UniqueHandle.h); -1 is none.

#include <unistd.h>

#include "os/UniqueHandle.h"

namespace quotamin {

struct FileDescriptorKind {
    using Value = int;
    static Value None() { return -1; }
    void Close(Value descriptor) const { ::close(descriptor); }
};
using UniqueFd = UniqueHandle<FileDescriptorKind>;

}  // namespace quotamin
