// Runs freqcode-table's entry point in-process, as main() would, on an input
// given as bytes, and reads back what it wrote.
#pragma once

#ifdef _WIN32
#include <windows.h>
#endif

#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "table/cli.h"
#include "table/channel.h"
#include "table/csvreader.h"

struct ToolRun {
    int status = -1;
    std::string out, err;
};

// An anonymous file that goes when it is closed. Windows' own tmpfile()
// creates its files in the drive's root under names that two test programs
// running at once can both take, so there the file is made in the user's
// temporary folder under a name Windows makes unique.
inline std::FILE* scratchfile() {
#ifdef _WIN32
    wchar_t folder[MAX_PATH + 1], path[MAX_PATH + 1];
    std::FILE* file = nullptr;
    if (GetTempPathW(MAX_PATH + 1, folder) && GetTempFileNameW(folder, L"fct", 0, path))
        file = _wfopen(path, L"w+bD");  // D: deleted when closed
#else
    std::FILE* file = std::tmpfile();
#endif
    if (!file) throw std::runtime_error("cannot make a temporary file");
    return file;
}

inline std::string readback(std::FILE* file) {
    std::string text;
    std::rewind(file);
    char block[4096];
    for (std::size_t n; (n = std::fread(block, 1, sizeof block, file)) > 0;) text.append(block, n);
    std::fclose(file);
    return text;
}

inline std::FILE* filewith(const std::string& content) {
    std::FILE* file = scratchfile();
    std::fwrite(content.data(), 1, content.size(), file);
    std::rewind(file);
    return file;
}

// The program with these arguments, standard input holding input, and
// neither stream a terminal; out, when given, stands for standard output.
inline ToolRun call(const std::vector<std::string>& args, const std::string& input = "", std::FILE* out = nullptr) {
    std::FILE* in = filewith(input);
    std::FILE* err = scratchfile();
    const bool ownout = out == nullptr;
    if (ownout) out = scratchfile();
    ToolRun result;
    result.status = table::freqcodetable(args, {in, out, err, false, false});
    std::fclose(in);
    if (ownout) result.out = readback(out);
    result.err = readback(err);
    return result;
}

// Whether a written row's status says it was computed.
inline bool computed(const std::string& status) { return status == table::okstatus || status == table::receiveonlystatus; }

// The output's CSV records, keyed by column name, read back with the
// program's own reader.
inline std::vector<std::map<std::string, std::string>> records(const std::string& csv) {
    table::MemorySource in(csv);
    table::CsvReader reader(in);
    std::vector<std::string> header, fields;
    std::vector<std::map<std::string, std::string>> rows;
    reader.next(header);
    while (reader.next(fields) == table::CsvReader::Status::record) {
        std::map<std::string, std::string> row;
        for (std::size_t i = 0; i < header.size() && i < fields.size(); ++i) row[header[i]] = fields[i];
        rows.push_back(row);
    }
    return rows;
}
