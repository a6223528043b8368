// The census of a list's physical lines, the check that every line holding
// a channel comes out as its own row. It reads each line on its own, apart
// from the CSV reader and its rules for quotes: three ways, with the line's
// quotes as quotes, as plain characters, and taken out. A line holds a
// channel when one of the readings does (ListFormat::reading), and is not
// the tail of a value quoted on an earlier line (a quote inside its
// location, or without a location column, inside its first field). A record's
// row must then give the location and frequencies of one reading of its
// first line, and none of the other lines it took in may hold a channel.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "table/listformat.h"

namespace table {

class Census {
public:
    Census(const ListFormat& format, char separator) : format_(format), separator_(separator) {}

    // The readings of one line that hold a channel; empty when it holds
    // none. They point into the line and into buffers that the next call
    // reuses.
    const std::vector<ListFormat::Reading>& of(std::string_view line);

    bool holdschannel(std::string_view line) { return !of(line).empty(); }

    // Why a line stands on its own, or nullptr: it holds a channel, or it
    // starts a memory as a list's rows do, its location a whole number (an
    // unused memory, or a channel cut short). A quoted value takes in no
    // such line.
    const char* standsalone(std::string_view line);

    // Whether a row gives what one of the readings gives.
    bool agrees(const std::vector<ListFormat::Reading>& readings, const Channel& row) const;

private:
    void add(const std::vector<std::string_view>& fields, bool quoted);
    void splitplain(std::string_view text);
    void splitquoted(std::string_view text);

    const ListFormat& format_;
    char separator_;
    std::vector<ListFormat::Reading> readings_;
    std::vector<std::string_view> fields_;
    std::vector<std::size_t> ends_;
    std::string unquoted_, removed_;
};

}  // namespace table
