// freqcode-table: the synthesizer codes of one channel, or of a whole
// channel list in CSV, computed exactly as the window computes them.
#include <cstdio>
#include <string>
#include <vector>

#include "table/cli.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "table/beside.h"
#include "table/utf16.h"
#include "table/winconsole.h"

namespace {

// Started from Explorer (a double-click, a list dropped on it, "Send to"):
// then Windows made a console for this program alone, which closes with it.
bool ownconsole() {
    DWORD processes[2];
    return GetConsoleProcessList(processes, 2) == 1;
}

// Keeps a console that closes with the program open until a key is pressed,
// so that what it says can be read; never when no one can press a key.
void waitforkey() {
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    if (input == INVALID_HANDLE_VALUE || !GetConsoleMode(input, &mode)) return;
    // Keys pressed before the prompt do not count; one pressed once it shows does.
    FlushConsoleInputBuffer(input);
    std::fputs("Press a key to close this window.\n", stderr);
    std::fflush(stderr);
    for (INPUT_RECORD record; ;) {
        DWORD read = 0;
        if (!ReadConsoleInputW(input, &record, 1, &read) || read == 0) return;
        if (record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown) return;
    }
}

}  // namespace

// The arguments as UTF-8, whatever the console's code page.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(utf16::narrow(argv[i]));
    // CSV is written byte for byte: no CR added before each LF.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    const bool terminalin = _isatty(_fileno(stdin)) != 0, terminalout = _isatty(_fileno(stdout)) != 0;
    const bool explorer = ownconsole();
    int status = 0;
    {
        const table::ConsoleText console;  // names show right in any console
        const table::Streams streams{stdin, stdout, stderr, terminalin, terminalout};
        if (!explorer) status = table::freqcodetable(args, streams);
        else if (args.empty()) std::fputs(table::besideusage, stdout);
        else status = table::codesbeside(args, streams);
        std::fflush(stdout);
        std::fflush(stderr);
    }
    if (explorer) waitforkey();
    return status;
}
#else
#include <unistd.h>

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return table::freqcodetable(args, {stdin, stdout, stderr, isatty(STDIN_FILENO) != 0, isatty(STDOUT_FILENO) != 0});
}
#endif
