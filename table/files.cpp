#include "table/files.h"

#include <cerrno>
#include <fcntl.h>

#ifdef _WIN32
#include <windows.h>

#include <io.h>
#include <sys/stat.h>

#include <cwchar>

#include "table/utf16.h"
#else
#include <unistd.h>
#endif

namespace table {

#ifdef _WIN32
std::FILE* openutf8(const std::string& path, const char* mode) {
    const std::wstring widepath = utf16::widen(path, true), widemode = utf16::widen(mode);
    if (widepath.empty() && !path.empty()) {
        errno = EILSEQ;  // not UTF-8
        return nullptr;
    }
    return _wfopen(widepath.c_str(), widemode.c_str());
}

std::FILE* createutf8(const std::string& path) {
    const std::wstring widepath = utf16::widen(path, true);
    if (widepath.empty()) {
        errno = EILSEQ;
        return nullptr;
    }
    const int fd = _wopen(widepath.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0) return nullptr;
    std::FILE* file = _fdopen(fd, "wb");
    if (!file) _close(fd);
    return file;
}

bool removeutf8(const std::string& path) {
    const std::wstring widepath = utf16::widen(path, true);
    return !widepath.empty() && _wremove(widepath.c_str()) == 0;
}
#else
std::FILE* openutf8(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }

bool removeutf8(const std::string& path) { return std::remove(path.c_str()) == 0; }

std::FILE* createutf8(const std::string& path) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    std::FILE* file = fdopen(fd, "wb");
    if (!file) close(fd);
    return file;
}
#endif

}  // namespace table
