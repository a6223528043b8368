// A channel list's text as UTF-8, line by line, read in large blocks.
// A byte order mark decides the encoding: UTF-8 (the mark is dropped), or
// UTF-16 little- or big-endian, as spreadsheets write "Unicode text", which
// is converted. Without a mark the bytes pass unchanged; the CSV reader
// takes fields that are not UTF-8 as Windows-1252.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "table/bytes.h"

namespace table {

class TextInput {
public:
    explicit TextInput(Source& in);

    // The next physical line: its text without the line end (a LF, a CR or
    // a CRLF pair), and that end ("" for a last line without one). At most
    // most bytes of the text are kept; toolong tells that the line had more,
    // which are skipped. False at the end of the input or on a read error.
    bool getline(std::string& text, std::string& ending, std::size_t most, bool& toolong);

    // The read error that ended the input (an errno value), or 0.
    int error() const { return in_.error(); }

private:
    enum class Encoding { unknown, utf8, utf16le, utf16be };

    bool fill();
    std::size_t readblock();
    void decodeutf16();

    Source& in_;
    Encoding encoding_ = Encoding::unknown;
    std::vector<char> block_;
    std::size_t blocksize_ = 0;
    std::string text_;  // decoded bytes not yet handed out
    std::size_t pos_ = 0;
    std::string carry_;             // UTF-16 bytes of a unit split by a block's end
    char32_t highsurrogate_ = 0;    // the first half of a pair split by a block's end
};

}  // namespace table
