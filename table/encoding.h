// Text encodings met in channel lists. Everything inside the program is
// UTF-8; these turn what spreadsheets and older Windows tools write into it,
// and keep messages valid UTF-8 when they quote a piece of a value.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace table {

// True when the bytes are well-formed UTF-8 (no overlong forms, no
// surrogates, nothing past U+10FFFF).
bool validutf8(std::string_view text);

// Reads bytes as Windows-1252, the code page of older Windows tools, and
// writes them as UTF-8. The five bytes that code page leaves undefined
// become U+FFFD.
std::string cp1252toutf8(std::string_view text);

// Appends one code point as UTF-8; a surrogate or a value past U+10FFFF
// becomes U+FFFD.
void appendutf8(std::string& out, char32_t codepoint);

// At most maxbytes of a UTF-8 text, cut where a character begins.
std::string_view utf8prefix(std::string_view text, std::size_t maxbytes);

// Text for a terminal: control characters (C0 but tab, DEL, C1) written as
// \xHH, so that a value from a list cannot move the cursor or repaint the
// screen; characters that show as nothing, as a space that is none, or turn
// the text's direction (U+00A0, U+200B, U+202E ...) written as \uHHHH.
std::string terminaltext(std::string_view text);
// The same, appended to out.
void appendterminaltext(std::string& out, std::string_view text);

// The columns a terminal gives a text: none for a combining mark, two for
// an East Asian wide character.
std::size_t textwidth(std::string_view text);

// The length of the text without a character cut off at its end: the bytes
// to hold back when a text arrives in pieces.
std::size_t utf8complete(std::string_view text);

// A value quoted for a message: 'text', cut to about 40 bytes on a character
// boundary (with "..."), line breaks written as \n and \r so that a message
// stays one line.
std::string quote(std::string_view text);

}  // namespace table
