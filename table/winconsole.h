// Windows consoles show text in their own code page, which is rarely UTF-8:
// while a ConsoleText lives, whatever the program writes as UTF-8 to a
// standard stream that is a console goes to it as UTF-16 (WriteConsoleW),
// so any name shows right. Redirected streams keep their bytes unchanged.
#pragma once

#ifdef _WIN32
#include <windows.h>

#include <string>
#include <thread>

namespace table {

class ConsoleText {
public:
    ConsoleText();
    ~ConsoleText();
    ConsoleText(const ConsoleText&) = delete;
    ConsoleText& operator=(const ConsoleText&) = delete;

private:
    // One standard stream's file descriptor, led through a pipe to a thread
    // that writes the console.
    struct Bridge {
        int fd = -1, saved = -1, pipe = -1;
        std::thread writer;
    };
    void start(Bridge& bridge, int fd, DWORD which);
    void stop(Bridge& bridge);

    Bridge out_, err_;
};

}  // namespace table
#endif
