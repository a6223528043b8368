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

// The arguments as UTF-8, whatever the console's code page.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
        std::string arg(static_cast<std::size_t>(size > 0 ? size - 1 : 0), '\0');
        if (size > 1) WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, arg.data(), size, nullptr, nullptr);
        args.push_back(std::move(arg));
    }
    // CSV is written byte for byte: no CR added before each LF.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    // Names and messages are UTF-8; a console shows them so while this runs.
    const UINT codepage = GetConsoleOutputCP();
    if (codepage != 0) SetConsoleOutputCP(CP_UTF8);
    const int status =
        table::freqcodetable(args, {stdin, stdout, stderr, _isatty(_fileno(stdin)) != 0, _isatty(_fileno(stdout)) != 0});
    if (codepage != 0) SetConsoleOutputCP(codepage);
    return status;
}
#else
#include <unistd.h>

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return table::freqcodetable(args, {stdin, stdout, stderr, isatty(STDIN_FILENO) != 0, isatty(STDOUT_FILENO) != 0});
}
#endif
