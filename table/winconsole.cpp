#include "table/winconsole.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "table/encoding.h"
#include "table/utf16.h"

namespace table {
namespace {

// Writes UTF-8 read from a pipe to a console as UTF-16, a character never
// split between two writes.
void writeconsole(int pipe, HANDLE console) {
    std::string pending;
    char block[4096];
    for (int n; (n = _read(pipe, block, sizeof block)) > 0;) {
        pending.append(block, static_cast<std::size_t>(n));
        const std::size_t whole = utf8complete(pending);
        const std::wstring wide = utf16::widen(std::string_view(pending).substr(0, whole));
        if (!wide.empty()) {
            DWORD written = 0;
            WriteConsoleW(console, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        }
        pending.erase(0, whole);
    }
}

}  // namespace

ConsoleText::ConsoleText() {
    start(out_, _fileno(stdout), STD_OUTPUT_HANDLE);
    start(err_, _fileno(stderr), STD_ERROR_HANDLE);
}

ConsoleText::~ConsoleText() {
    stop(out_);
    stop(err_);
}

void ConsoleText::start(Bridge& bridge, int fd, DWORD which) {
    HANDLE handle = GetStdHandle(which);
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode)) return;  // not a console
    int ends[2];
    if (_pipe(ends, 4096, _O_BINARY | _O_NOINHERIT) != 0) return;
    bridge.saved = _dup(fd);
    if (bridge.saved < 0 || _dup2(ends[1], fd) != 0) {
        _close(ends[0]);
        _close(ends[1]);
        if (bridge.saved >= 0) _close(bridge.saved);
        bridge.saved = -1;
        return;
    }
    _close(ends[1]);
    bridge.fd = fd;
    bridge.pipe = ends[0];
    // Moving the pipe in closed the stream's own handle: the copy is the console's.
    bridge.writer = std::thread(writeconsole, bridge.pipe, reinterpret_cast<HANDLE>(_get_osfhandle(bridge.saved)));
}

void ConsoleText::stop(Bridge& bridge) {
    if (bridge.fd < 0) return;
    std::fflush(bridge.fd == _fileno(stdout) ? stdout : stderr);
    _dup2(bridge.saved, bridge.fd);  // closes the pipe's last writing end: the writer sees its end
    bridge.writer.join();
    _close(bridge.pipe);
    _close(bridge.saved);
    bridge.fd = -1;
}

}  // namespace table
#endif
