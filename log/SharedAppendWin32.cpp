#include <windows.h>

#include "log/SharedAppend.h"

namespace quotamin {

bool AppendShared(const std::string& path, std::string_view bytes) {
    // FILE_APPEND_DATA without FILE_WRITE_DATA makes the system place every
    // write at the end of the file as it is at the moment of that write.
    HANDLE file = ::CreateFileA(path.c_str(), FILE_APPEND_DATA | SYNCHRONIZE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const BOOL ok =
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
    return ok && written == bytes.size();
}

}  // namespace quotamin
