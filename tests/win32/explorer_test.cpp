// freqcode-table.exe as Explorer starts it (a list dropped on it, "Send
// to", a double-click): in a console of its own, which this test reads and
// answers as a person would.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "table/utf16.h"

namespace {

namespace fs = std::filesystem;

std::string contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The program started with its own console, as Explorer starts it.
class OwnConsole {
public:
    explicit OwnConsole(const std::wstring& arguments) {
        std::wstring command = L"\"" + utf16::widen(FREQCODE_TABLE_EXE) + L"\" " + arguments;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr, nullptr,
                                 &startup, &process) != 0;
    }
    ~OwnConsole() {
        if (!started) return;
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process.hProcess, 99);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        FreeConsole();
    }

    // The console's text once it asks for a key, or what it shows after 20 s.
    std::string textwhenwaiting() {
        std::string shown;
        for (int tries = 0; tries < 200 && shown.find("Press a key") == std::string::npos; ++tries) {
            Sleep(100);
            FreeConsole();
            if (!AttachConsole(process.dwProcessId)) continue;
            HANDLE out = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, 0, nullptr);
            CONSOLE_SCREEN_BUFFER_INFO info{};
            GetConsoleScreenBufferInfo(out, &info);
            std::wstring text(static_cast<std::size_t>(info.dwSize.X) * static_cast<std::size_t>(info.dwSize.Y), L' ');
            DWORD read = 0;
            ReadConsoleOutputCharacterW(out, text.data(), static_cast<DWORD>(text.size()), COORD{0, 0}, &read);
            CloseHandle(out);
            shown = utf16::narrow(text.substr(0, read));
        }
        return shown;
    }
    bool running() const { return WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT; }
    // Presses a key in the console; the exit status once the program ends.
    DWORD pressakey() {
        HANDLE in = CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
        INPUT_RECORD key{};
        key.EventType = KEY_EVENT;
        key.Event.KeyEvent.bKeyDown = TRUE;
        key.Event.KeyEvent.wRepeatCount = 1;
        key.Event.KeyEvent.wVirtualKeyCode = VK_SPACE;
        key.Event.KeyEvent.uChar.UnicodeChar = L' ';
        DWORD written = 0;
        WriteConsoleInputW(in, &key, 1, &written);
        CloseHandle(in);
        DWORD status = 99;
        if (WaitForSingleObject(process.hProcess, 10000) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &status);
        return status;
    }

    bool started = false;

private:
    PROCESS_INFORMATION process{};
};

TEST(FreqcodeTableFromExplorer, WritesEachListsCodesBesideItAndWaitsForAKey) {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    const fs::path folder = fs::path(temp) / ("freqcode-explorer-" + std::to_string(GetCurrentProcessId()));
    fs::create_directories(folder);
    const fs::path list = folder / fs::path(utf16::widen("Kanäle.csv"));
    fs::copy_file(FREQCODE_TABLE_SAMPLE, list, fs::copy_options::overwrite_existing);

    for (const char* expected : {"Kanäle-codes.csv", "Kanäle-codes (2).csv"}) {  // never over an existing file
        OwnConsole dropped(L"\"" + list.wstring() + L"\"");
        ASSERT_TRUE(dropped.started);
        const std::string shown = dropped.textwhenwaiting();
        EXPECT_TRUE(dropped.running()) << "it waits for a key";
        EXPECT_NE(shown.find("Kanäle.csv: line 8: rx 145503"), std::string::npos) << "names show right:\n" << shown;
        EXPECT_NE(shown.find(std::string("wrote ") + utf16::narrow((folder / utf16::widen(expected)).wstring())),
                  std::string::npos)
            << shown;
        EXPECT_EQ(dropped.pressakey(), 1u) << "three channels failed";
        const std::string codes = contents(folder / utf16::widen(expected));
        EXPECT_EQ(codes.substr(0, codes.find('\n')),
                  "\xEF\xBB\xBFlocation,name,rx_khz,tx_khz,step,rx_n,tx_n,rx_acode,rx_bcode,rx_rcode,tx_acode,tx_bcode,tx_rcode,status");
        EXPECT_EQ(std::count(codes.begin(), codes.end(), '\n'), 11);
    }

    OwnConsole clicked(L"");  // a double-click: how to use it
    ASSERT_TRUE(clicked.started);
    EXPECT_NE(clicked.textwhenwaiting().find("drop a list"), std::string::npos);
    EXPECT_EQ(clicked.pressakey(), 0u);
    fs::remove_all(folder);
}

}  // namespace
