// The columns of the rows that freqcode-table writes, once for every
// writer: the CSV name, the table's heading and width, whether a value can
// ever need quoting, and where the value comes from.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "table/channel.h"

namespace table {

struct Column {
    std::string_view name;     // the CSV header's
    std::string_view heading;  // the table's, for a person
    std::size_t width;         // the table's; 0 for the last, which takes the rest of the line
    bool plain;                // its values never hold a character to quote
    // Its value for a channel with that status; scratch holds a text made
    // for the occasion.
    const std::string& (*value)(const Channel& channel, const Status& status, std::string& scratch);
};

extern const std::array<Column, 14> columns;

// The column of that name, or nullptr.
const Column* column(std::string_view name);

}  // namespace table
