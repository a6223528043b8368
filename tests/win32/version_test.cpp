// Both programs carry the tool's icon and version information, the version
// being the one freqcode-table --version prints.
#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "table/utf16.h"

namespace {

std::string versionvalue(const std::wstring& program, const wchar_t* name) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(program.c_str(), &ignored);
    std::vector<char> info(size);
    if (size == 0 || !GetFileVersionInfoW(program.c_str(), 0, size, info.data())) return "";
    void* value = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueW(info.data(), path.c_str(), &value, &length) || length == 0) return "";
    return utf16::narrow(static_cast<const wchar_t*>(value));
}

TEST(WindowsPrograms, CarryIconAndVersion) {
    for (const char* program : {FREQCODE_EXE, FREQCODE_TABLE_EXE}) {
        SCOPED_TRACE(program);
        const std::wstring path = utf16::widen(program);
        EXPECT_EQ(versionvalue(path, L"ProductName"), "freqcode");
        EXPECT_EQ(versionvalue(path, L"ProductVersion"), FREQCODE_VERSION);
        EXPECT_EQ(versionvalue(path, L"LegalCopyright"), FREQCODE_COPYRIGHT);
        EXPECT_NE(versionvalue(path, L"FileDescription"), "");
        EXPECT_EQ(ExtractIconExW(path.c_str(), -1, nullptr, nullptr, 0), 1u) << "one icon";
    }
}

}  // namespace
