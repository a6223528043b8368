#include "table/csvreader.h"

#include <algorithm>

#include "table/encoding.h"

namespace table {

CsvReader::CsvReader(std::FILE* in, std::size_t maxrecord) : input_(in), maxrecord_(maxrecord) {
    for (const char c : {'"', '\r', '\n', '\0'}) quotedspecial_[static_cast<unsigned char>(c)] = unquotedspecial_[static_cast<unsigned char>(c)] = true;
    unquotedspecial_[','] = true;  // until the header shows another separator
}

void CsvReader::setseparator(char separator) {
    unquotedspecial_[static_cast<unsigned char>(separator_ == '\0' ? ',' : separator_)] = false;
    separator_ = separator;
    unquotedspecial_[static_cast<unsigned char>(separator)] = true;
}

// Takes the ordinary bytes that follow, at most room of them, straight from
// the input's buffer into a field: most of a list, without a call per byte.
std::size_t CsvReader::takerun(std::string& field, bool quoted, std::size_t room) {
    if (replaypos_ < replay_.size()) return 0;
    const std::string_view ahead = input_.buffered();
    const auto& special = quoted ? quotedspecial_ : unquotedspecial_;
    const std::size_t most = std::min(ahead.size(), room);
    std::size_t n = 0;
    while (n < most && !special[static_cast<unsigned char>(ahead[n])]) ++n;
    if (n == 0) return 0;
    field.append(ahead.data(), n);
    if (multiline_) rest_.append(ahead.data(), n);
    input_.skip(n);
    aftercr_ = false;
    return n;
}

// The next byte, from the bytes to read again first; counts line ends, a
// CRLF pair as one.
int CsvReader::get() {
    int c;
    if (replaypos_ < replay_.size()) {
        c = static_cast<unsigned char>(replay_[replaypos_++]);
    } else {
        if (!replay_.empty()) {
            replay_.clear();
            replaypos_ = 0;
        }
        c = input_.get();
    }
    if (c == '\r' || (c == '\n' && !aftercr_)) ++line_;
    aftercr_ = c == '\r';
    return c;
}

// The first byte of a record: the LF of a CRLF that ended the last record
// belongs to that record.
int CsvReader::getafterbreak() {
    const bool skiplf = aftercr_;
    const int c = get();
    return skiplf && c == '\n' ? get() : c;
}

void CsvReader::skipline(int c) {
    while (c != EOF && c != '\r' && c != '\n') c = get();
}

// Reads the first line once to count its separators outside quotes, then
// gives it back to be read as the first record.
void CsvReader::detectseparator(int first) {
    const long line = line_;
    std::string head(1, static_cast<char>(first));
    for (int c = get(); c != EOF && head.size() <= maxrecord_; c = get()) {
        head += static_cast<char>(c);
        if (c == '\r' || c == '\n') break;
    }
    std::size_t commas = 0, semicolons = 0, tabs = 0;
    bool quoted = false;
    for (const char c : head) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        commas += c == ',';
        semicolons += c == ';';
        tabs += c == '\t';
    }
    setseparator(semicolons > commas && semicolons >= tabs ? ';' : tabs > commas && tabs > semicolons ? '\t' : ',');
    replay_ = head + replay_.substr(replaypos_);
    replaypos_ = 0;
    line_ = line;
    aftercr_ = false;
}

// After a bad quote: the next record starts on the line after the one where
// the bad record began.
void CsvReader::resume() {
    if (!multiline_) {
        skipline(get());  // the fault is on the record's first line: drop the rest of it
        return;
    }
    replay_ = rest_ + replay_.substr(replaypos_);
    replaypos_ = 0;
    line_ = recordline_ + 1;
    aftercr_ = breakcr_;
}

void CsvReader::finishfields(std::vector<std::string>& fields, std::size_t keep, bool binary) const {
    fields.resize(keep);
    for (auto& field : fields) {
        if (binary && field.find('\0') != std::string::npos) field.clear();
        else if (!validutf8(field)) field = cp1252toutf8(field);
    }
}

CsvReader::Status CsvReader::next(std::vector<std::string>& fields) {
    problem_.clear();
    rest_.clear();
    multiline_ = breakcr_ = false;
    fieldsatbreak_ = 0;
    recordline_ = line_;

    int c = getafterbreak();
    if (c == EOF || c == '#') {
        fields.clear();
        skipline(c);
        return c == EOF ? Status::end : Status::comment;
    }
    if (separator_ == '\0' && c != '\r' && c != '\n') {
        detectseparator(c);
        c = get();
    }
    const char separator = separator_ == '\0' ? ',' : separator_;

    enum class State { fieldstart, unquoted, quoted, closing } state = State::fieldstart;
    bool toolong = false, binary = false;
    long quoteline = 0;
    // The fields' strings are reused from record to record, so that their
    // memory is allocated once.
    std::size_t count = 0;
    const auto newfield = [&] {
        if (count < fields.size()) fields[count].clear();
        else fields.emplace_back();
        ++count;
    };
    newfield();
    const auto keep = [&](int ch) {
        if (ch == '\0') binary = true;
        if (!toolong) fields[count - 1] += static_cast<char>(ch);
    };
    const auto completed = [&] { return multiline_ ? fieldsatbreak_ : count - 1; };
    std::size_t size = 0;  // the record's bytes so far

    for (;; c = get()) {
        if (c == EOF) {
            if (state != State::quoted) break;
            problem_ = "a quoted field opened on line " + std::to_string(quoteline) +
                       " is never closed; the rest of the file (from line " + std::to_string(recordline_) +
                       ") was not read";
            finishfields(fields, completed(), binary);
            return Status::bad;
        }
        const bool linebreak = c == '\r' || c == '\n';
        const bool recordend = linebreak && state != State::quoted;
        if (!toolong) {
            if (++size > maxrecord_ && !recordend) {
                toolong = true;
                if (state == State::quoted && multiline_) {
                    problem_ = "a quoted field opened on line " + std::to_string(quoteline) + " is not closed within " +
                               std::to_string(maxrecord_) + " bytes";
                    finishfields(fields, fieldsatbreak_, binary);
                    rest_ += static_cast<char>(c);
                    resume();
                    return Status::bad;
                }
                fields[count - 1].clear();  // the field the limit cut is dropped at the end
            } else if (multiline_) {
                if (breakcr_ && c == '\n' && rest_.empty()) breakcr_ = false;  // the first break is a CRLF
                else rest_ += static_cast<char>(c);
            } else if (linebreak && state == State::quoted) {
                multiline_ = true;
                breakcr_ = c == '\r';
                fieldsatbreak_ = count - 1;
            }
        }
        if (toolong && linebreak) break;  // an over-long record ends at the first line end

        if (state == State::fieldstart) {
            if (c == '"') {
                state = State::quoted;
                quoteline = line_;
                continue;
            }
            state = State::unquoted;
        }
        if (state == State::quoted) {
            if (c == '"') {
                state = State::closing;
            } else {
                keep(c);
                if (!toolong) size += takerun(fields[count - 1], true, maxrecord_ - size);
            }
            continue;
        }
        if (state == State::closing && c == '"') {  // a doubled quote
            keep(c);
            state = State::quoted;
            continue;
        }
        if (c == separator) {
            if (!toolong) newfield();
            state = State::fieldstart;
            continue;
        }
        if (linebreak) break;
        if (state == State::closing && !toolong) {
            problem_ = quoteline == line_ ? "text after the closing quote of a quoted field"
                                          : "a quoted field opened on line " + std::to_string(quoteline) +
                                                " has text after its closing quote on line " + std::to_string(line_);
            finishfields(fields, completed(), binary);
            resume();
            return Status::bad;
        }
        keep(c);
        state = State::unquoted;
        if (!toolong) size += takerun(fields[count - 1], false, maxrecord_ - size);
    }
    if (toolong) {
        problem_ = "the record is longer than " + std::to_string(maxrecord_) + " bytes";
        finishfields(fields, count - 1, binary);
        return Status::bad;
    }
    finishfields(fields, count, binary);
    if (binary) {
        problem_ = "binary data (a NUL byte)";
        return Status::bad;
    }
    return Status::record;
}

}  // namespace table
