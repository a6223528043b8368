#include "table/files.h"

#ifdef _WIN32
#include <windows.h>

#include <cerrno>
#include <cwchar>
#endif

namespace table {

#ifdef _WIN32
namespace {

std::wstring widen(const std::string& text) {
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), length);
    return wide;
}

}  // namespace

std::FILE* openutf8(const std::string& path, const char* mode) {
    const std::wstring widepath = widen(path), widemode = widen(mode);
    if (widepath.empty() && !path.empty()) {
        errno = EILSEQ;  // not UTF-8
        return nullptr;
    }
    return _wfopen(widepath.c_str(), widemode.c_str());
}
#else
std::FILE* openutf8(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }
#endif

}  // namespace table
