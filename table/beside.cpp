#include "table/beside.h"

#include <cerrno>
#include <cstring>

#include "table/files.h"

namespace table {

const char* const besideusage =
    "freqcode-table writes the synthesizer codes of a channel list: drop a list (CSV) on freqcode-table.exe or its "
    "shortcut, or choose \"Send to\" > \"freqcode codes\" on the list, and its codes go to a new file beside it.\n"
    "For one channel, or for more choices, run it from a command prompt: freqcode-table --help.\n";

namespace {

// Whether a codes file holds a row below its header line.
bool holdsrows(const std::string& path) {
    std::FILE* in = openutf8(path, "rb");
    if (!in) return true;  // nothing to judge by: keep it
    int c = 0;
    while ((c = std::fgetc(in)) != EOF && c != '\n') {}
    const bool more = c != EOF && std::fgetc(in) != EOF;
    std::fclose(in);
    return more;
}

}  // namespace

std::string codesname(const std::string& list, int n) {
    // The extension goes, if the last part of the path has one.
    const std::size_t slash = list.find_last_of("/\\");
    const std::size_t dot = list.rfind('.');
    const bool extension = dot != std::string::npos && dot > 0 && (slash == std::string::npos || dot > slash + 1);
    std::string name = extension ? list.substr(0, dot) : list;
    name += "-codes";
    if (n > 1) name += " (" + std::to_string(n) + ")";
    return name + ".csv";
}

int codesbeside(const std::vector<std::string>& lists, const Streams& streams) {
    int status = 0;
    for (const std::string& list : lists) {
        const auto say = [&](const std::string& text) { std::fprintf(streams.err, "%s\n", text.c_str()); };
        if (std::FILE* readable = openutf8(list, "rb")) {
            std::fclose(readable);
        } else {
            say(list + ": cannot open it: " + std::strerror(errno));
            status = 1;
            continue;
        }
        std::string target;
        std::FILE* out = nullptr;
        for (int n = 1; !out && n < 1000; ++n) {
            target = codesname(list, n);
            out = createutf8(target);
            if (!out && errno != EEXIST) break;
        }
        if (!out) {
            say(list + ": cannot write " + target + ": " + std::strerror(errno));
            status = 1;
            continue;
        }
        const int listed = freqcodetable({"--csv", "--", list}, {nullptr, out, streams.err, false, false});
        const bool closed = std::fclose(out) == 0;
        if (!closed) say(list + ": cannot write " + target);
        else if (!holdsrows(target)) {
            // A file that is no list, or a list without channels, leaves no
            // empty codes file behind.
            removeutf8(target);
            say(list + ": no codes file written, as it gave no channels");
        } else say("wrote " + target + (listed == 0 ? "" : ", with the failures named above"));
        status = status != 0 || listed != 0 || !closed ? 1 : 0;
    }
    return status;
}

}  // namespace table
