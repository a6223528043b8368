// Runs freqcode-table's entry point in-process, as main() would, on an input
// given as bytes, and reads back what it wrote.
#pragma once

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "table/cli.h"
#include "table/csvreader.h"

struct ToolRun {
    int status = -1;
    std::string out, err;
};

inline std::string readback(std::FILE* file) {
    std::string text;
    std::rewind(file);
    char block[4096];
    for (std::size_t n; (n = std::fread(block, 1, sizeof block, file)) > 0;) text.append(block, n);
    std::fclose(file);
    return text;
}

inline std::FILE* filewith(const std::string& content) {
    std::FILE* file = std::tmpfile();
    std::fwrite(content.data(), 1, content.size(), file);
    std::rewind(file);
    return file;
}

// The program with these arguments, standard input holding input, and
// neither stream a terminal; out, when given, stands for standard output.
inline ToolRun call(const std::vector<std::string>& args, const std::string& input = "", std::FILE* out = nullptr) {
    std::FILE* in = filewith(input);
    std::FILE* err = std::tmpfile();
    const bool ownout = out == nullptr;
    if (ownout) out = std::tmpfile();
    ToolRun result;
    result.status = table::freqcodetable(args, {in, out, err, false, false});
    std::fclose(in);
    if (ownout) result.out = readback(out);
    result.err = readback(err);
    return result;
}

// The output's CSV records, keyed by column name, read back with the
// program's own reader.
inline std::vector<std::map<std::string, std::string>> records(const std::string& csv) {
    std::FILE* in = filewith(csv);
    table::CsvReader reader(in);
    std::vector<std::string> header, fields;
    std::vector<std::map<std::string, std::string>> rows;
    reader.next(header);
    while (reader.next(fields) == table::CsvReader::Status::record) {
        std::map<std::string, std::string> row;
        for (std::size_t i = 0; i < header.size() && i < fields.size(); ++i) row[header[i]] = fields[i];
        rows.push_back(row);
    }
    std::fclose(in);
    return rows;
}
