#include "table/textinput.h"

#include <algorithm>
#include <cstring>

#include "table/encoding.h"

namespace table {

TextInput::TextInput(Source& in) : in_(in), block_(64 * 1024) {}

std::size_t TextInput::readblock() {
    blocksize_ = in_.read(block_.data(), block_.size());
    return blocksize_;
}

bool TextInput::fill() {
    text_.clear();
    pos_ = 0;
    while (text_.empty()) {
        if (readblock() == 0) {
            // A unit cut off by the end of the input is no character.
            if (!carry_.empty() || highsurrogate_ != 0) appendutf8(text_, 0xFFFD);
            carry_.clear();
            highsurrogate_ = 0;
            return !text_.empty();
        }
        std::size_t start = 0;
        if (encoding_ == Encoding::unknown) {
            const auto byte = [&](std::size_t i) { return i < blocksize_ ? static_cast<unsigned char>(block_[i]) : 0u; };
            encoding_ = Encoding::utf8;
            if (byte(0) == 0xEF && byte(1) == 0xBB && byte(2) == 0xBF) start = 3;
            else if (byte(0) == 0xFF && byte(1) == 0xFE) encoding_ = Encoding::utf16le, start = 2;
            else if (byte(0) == 0xFE && byte(1) == 0xFF) encoding_ = Encoding::utf16be, start = 2;
        }
        if (encoding_ == Encoding::utf8) {
            text_.assign(block_.data() + start, blocksize_ - start);
        } else {
            carry_.append(block_.data() + start, blocksize_ - start);
            decodeutf16();
        }
    }
    return true;
}

bool TextInput::getline(std::string& text, std::string& ending, std::size_t most, bool& toolong) {
    text.clear();
    ending.clear();
    toolong = false;
    bool any = false;
    while (pos_ < text_.size() || fill()) {
        any = true;
        const char* const start = text_.data() + pos_;
        const std::size_t size = text_.size() - pos_;
        // The first LF or CR: a search for each, the second within the first's reach.
        const auto* lf = static_cast<const char*>(std::memchr(start, '\n', size));
        const auto* cr = static_cast<const char*>(std::memchr(start, '\r', lf ? static_cast<std::size_t>(lf - start) : size));
        const char* const end = cr ? cr : lf;
        const std::size_t length = end ? static_cast<std::size_t>(end - start) : size;
        const std::size_t kept = std::min(length, most - text.size());
        text.append(start, kept);
        toolong = toolong || kept < length;
        pos_ += length;
        if (!end) continue;
        ending = *end;
        ++pos_;
        // A CR's LF may wait in the next block.
        if (*end == '\r' && (pos_ < text_.size() || fill()) && text_[pos_] == '\n') {
            ending += '\n';
            ++pos_;
        }
        return true;
    }
    return any;
}

void TextInput::decodeutf16() {
    const bool little = encoding_ == Encoding::utf16le;
    std::size_t i = 0;
    for (; i + 1 < carry_.size(); i += 2) {
        const char32_t first = static_cast<unsigned char>(carry_[i]), second = static_cast<unsigned char>(carry_[i + 1]);
        const char32_t unit = little ? (second << 8 | first) : (first << 8 | second);
        if (highsurrogate_ != 0) {
            const char32_t high = highsurrogate_;
            highsurrogate_ = 0;
            if (unit >= 0xDC00 && unit <= 0xDFFF) {
                appendutf8(text_, 0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00));
                continue;
            }
            appendutf8(text_, 0xFFFD);  // a first half without its second
        }
        if (unit >= 0xD800 && unit <= 0xDBFF) highsurrogate_ = unit;
        else appendutf8(text_, unit);  // a lone second half becomes U+FFFD there
    }
    carry_.erase(0, i);
}

}  // namespace table
