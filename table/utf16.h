// UTF-8, as the program keeps all text, to and from the UTF-16 of Windows'
// own functions: file names, the console, the window's controls.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace utf16 {

// Strict, a text that is not UTF-8 gives nothing; otherwise each bad byte
// becomes U+FFFD.
inline std::wstring widen(std::string_view text, bool strict = false) {
    const int size = static_cast<int>(text.size());
    const DWORD flags = strict ? MB_ERR_INVALID_CHARS : 0;
    const int length = MultiByteToWideChar(CP_UTF8, flags, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0) MultiByteToWideChar(CP_UTF8, flags, text.data(), size, wide.data(), length);
    return wide;
}

inline std::string narrow(std::wstring_view text) {
    const int size = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string narrowed(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    if (length > 0) WideCharToMultiByte(CP_UTF8, 0, text.data(), size, narrowed.data(), length, nullptr, nullptr);
    return narrowed;
}

}  // namespace utf16
