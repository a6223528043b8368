// Reads CSV records (RFC 4180: quoted fields, doubled quotes, line breaks
// inside quotes; LF, CRLF or CR line ends) from a stream, one record at a
// time, in bounded memory whatever the input's size.
//
// The separator is ',', ';' or tab, whichever the first record (the header
// row) uses most outside quotes. A line that starts with '#' is a comment.
// Fields that are not UTF-8 are read as Windows-1252, so every field is
// UTF-8.
//
// A record that cannot be used is reported once and never takes another
// record's lines: after a bad quote (text after a closing quote, or a quoted
// field still open after maxrecord bytes) reading goes on at the line after
// the one where the bad record began, re-reading only that record's bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "table/textinput.h"

namespace table {

class CsvReader {
public:
    enum class Status {
        record,   // fields hold the next record
        comment,  // a comment line; fields is empty
        bad,      // the record cannot be used; problem() says why, and fields
                  // hold the fields read before the fault
        end,      // no more input, or a read error (error())
    };

    explicit CsvReader(std::FILE* in, std::size_t maxrecord = 64 * 1024);

    Status next(std::vector<std::string>& fields);

    // The line on which the last record started, and the line after it,
    // counting from 1.
    long line() const { return recordline_; }
    long endline() const { return line_; }
    const std::string& problem() const { return problem_; }
    // The separator found in the first record ('\0' before it is read).
    char separator() const { return separator_; }
    // The read error that ended the input (an errno value), or 0.
    int error() const { return input_.error(); }

private:
    int get();
    int getafterbreak();
    void detectseparator(int first);
    void skipline(int c);
    void resume();
    void setseparator(char separator);
    std::size_t takerun(std::string& field, bool quoted, std::size_t room);
    // Keeps the first fields of a record, all UTF-8, and none with a NUL.
    void finishfields(std::vector<std::string>& fields, std::size_t keep, bool binary) const;

    TextInput input_;
    std::size_t maxrecord_;
    char separator_ = '\0';
    // The bytes that end a run of ordinary ones, outside and inside quotes.
    std::array<bool, 256> unquotedspecial_{}, quotedspecial_{};

    std::string replay_;  // bytes to read again before the input
    std::size_t replaypos_ = 0;
    bool aftercr_ = false;  // the last byte read was a CR, so a LF now is the same line end

    // The record being read, once a quoted field has taken it past its first
    // line: the bytes after that line's end (at most maxrecord), to be read
    // again should the record turn out bad, and the fields before it.
    bool multiline_ = false;
    bool breakcr_ = false;  // the first line ended with a CR so far
    std::string rest_;
    std::size_t fieldsatbreak_ = 0;

    long line_ = 1, recordline_ = 0;
    std::string problem_;
};

}  // namespace table
