// Reads CSV records from a stream, one record at a time, in bounded memory
// whatever the input's size. It works in physical lines (a LF, a CR or a
// CRLF pair ends one): a record is one line, unless a quoted field is still
// open at the line's end, when it may go on into the following lines.
//
// A quoted value may run over a line end only when none of the lines it
// would take in holds a channel of its own (the channel check, once the
// list's columns are known), the quote closes within maxrecord bytes and
// the line where it closes has nothing but separators and fields after the
// closing quote. Otherwise the quote is stray: the line where it opened is
// reported as bad, and each following line is read on its own. So a record
// never takes the lines of another channel.
//
// The separator is ',', ';' or tab, whichever the first line with text
// (the header row) uses most outside quotes. A line that starts with '#' is
// a comment. Fields that are not UTF-8 are read as Windows-1252, so every
// field is UTF-8.
#pragma once

#include <cstddef>
#include <cstdio>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "table/textinput.h"

namespace table {

class CsvReader {
public:
    enum class Status {
        record,   // fields hold the next record
        comment,  // a comment line; fields hold it read as a record
        bad,      // the record cannot be used; problem() says why, and fields
                  // hold the fields before the fault
        end,      // no more input, or a read error (error())
    };

    // Why a physical line, read on its own, stands alone ("holds a channel
    // of its own"), or nullptr when a quoted value may take it in.
    using ChannelCheck = std::function<const char*(std::string_view line)>;

    explicit CsvReader(Source& in, std::size_t maxrecord = 64 * 1024);
    // An open file, read where it stands; the caller closes it.
    explicit CsvReader(std::FILE* in, std::size_t maxrecord = 64 * 1024);

    Status next(std::vector<std::string>& fields);

    // From now on a quoted value may not take in a line that holds a channel.
    void channelcheck(ChannelCheck check) { standsalone_ = std::move(check); }
    // While on, every record is one line: a quote still open at the line's
    // end makes the record bad (a header row is one line).
    void oneline(bool on) { oneline_ = on; }

    // The physical lines of the last record, as they were read (before any
    // conversion to UTF-8): the first is line(), the last lastline().
    const std::vector<std::string>& recordlines() const { return recordlines_; }

    // The first and last line of the last record, counting from 1.
    long line() const { return recordline_; }
    long lastline() const { return lastline_; }
    const std::string& problem() const { return problem_; }
    // The separator found in the header row ('\0' before it is read).
    char separator() const { return separator_; }
    // The read error that ended the input (an errno value), or 0.
    int error() const { return input_.error(); }

private:
    struct Line {
        long number = 0;
        std::size_t offset = 0;  // of its first byte, counting every line's text and ending
        std::string text, ending;
        bool toolong = false;
        std::optional<const char*> alone;  // why it stands alone, once asked
    };
    // How a line's text left its record.
    enum class Ending { complete, inquote, textafterquote };
    struct Split {
        Ending ending;
        std::size_t column;  // the field (from 1) where the open or faulty quote is
    };

    bool fetch(std::size_t count);
    void pop(std::size_t count);
    void keep(std::size_t count);
    Split split(const std::string& text, bool inquote, std::vector<std::string>& fields, std::size_t& count) const;
    const char* standsalone(Line& line);
    void detectseparator(const std::string& text);
    Status finish(std::vector<std::string>& fields, std::size_t count, std::size_t lines);
    Status bad(std::vector<std::string>& fields, std::size_t kept, std::string problem);

    std::unique_ptr<FileSource> file_;  // with a FILE*
    TextInput input_;
    std::size_t maxrecord_;
    char separator_ = '\0';
    ChannelCheck standsalone_;
    std::deque<Line> lines_;  // the lines read ahead, the record's first at the front
    Line spare_;              // a popped line, whose buffers the next one reuses
    std::vector<std::string> scratch_;
    std::vector<std::string> recordlines_;
    bool oneline_ = false;
    long nextnumber_ = 1;
    std::size_t nextoffset_ = 0;
    // The last line up to which a quoted value was found still open and
    // taking in no channel: a value opened on an earlier line than that
    // stays open through the same lines, so they are not scanned again.
    long openthrough_ = 0;
    long recordline_ = 0, lastline_ = 0;
    std::string problem_;
};

}  // namespace table
