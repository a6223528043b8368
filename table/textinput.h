// A channel list's bytes as UTF-8, one at a time, read in large blocks.
// A byte order mark decides the encoding: UTF-8 (the mark is dropped), or
// UTF-16 little- or big-endian, as spreadsheets write "Unicode text", which
// is converted. Without a mark the bytes pass unchanged; the CSV reader
// takes fields that are not UTF-8 as Windows-1252.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace table {

class TextInput {
public:
    explicit TextInput(std::FILE* in);

    // The next byte, or EOF at the end of the input or on a read error.
    int get() {
        if (pos_ == text_.size() && !fill()) return EOF;
        return static_cast<unsigned char>(text_[pos_++]);
    }

    // The read error that ended the input (an errno value), or 0.
    int error() const { return error_; }

    // The decoded bytes already read and not yet handed out, to be taken in
    // bulk: skip(n) hands out the first n of them.
    std::string_view buffered() const { return std::string_view(text_).substr(pos_); }
    void skip(std::size_t n) { pos_ += n; }

private:
    enum class Encoding { unknown, utf8, utf16le, utf16be };

    bool fill();
    std::size_t readblock();
    void decodeutf16();

    std::FILE* in_;
    Encoding encoding_ = Encoding::unknown;
    std::vector<char> block_;
    std::size_t blocksize_ = 0;
    std::string text_;  // decoded bytes not yet handed out
    std::size_t pos_ = 0;
    std::string carry_;             // UTF-16 bytes of a unit split by a block's end
    char32_t highsurrogate_ = 0;    // the first half of a pair split by a block's end
    int error_ = 0;
};

}  // namespace table
