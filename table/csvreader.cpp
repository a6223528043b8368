#include "csvreader.h"

#include <algorithm>

#include "encoding.h"

namespace table {

CsvReader::CsvReader(std::FILE* in, std::size_t maxrecord) : input_(in), maxrecord_(maxrecord) {}

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
    separator_ = semicolons > commas && semicolons >= tabs ? ';' : tabs > commas && tabs > semicolons ? '\t' : ',';
    replay_ = head + replay_.substr(replaypos_);
    replaypos_ = 0;
    line_ = line;
    aftercr_ = false;
}

// After a bad quote: the next record starts on the line after the one where
// the bad record began.
void CsvReader::resume() {
    if (firstbreak_ == 0) {
        skipline(get());  // the fault is on the record's first line: drop the rest of it
        return;
    }
    replay_ = raw_.substr(firstbreak_) + replay_.substr(replaypos_);
    replaypos_ = 0;
    line_ = recordline_ + 1;
    aftercr_ = raw_[firstbreak_ - 1] == '\r';
}

void CsvReader::finishfields(std::vector<std::string>& fields, std::size_t keep) const {
    fields.resize(std::min(keep, fields.size()));
    for (auto& field : fields) {
        if (field.find('\0') != std::string::npos) field.clear();
        else if (!validutf8(field)) field = cp1252toutf8(field);
    }
}

CsvReader::Status CsvReader::next(std::vector<std::string>& fields) {
    fields.clear();
    problem_.clear();
    raw_.clear();
    firstbreak_ = 0;
    fieldsatbreak_ = 0;
    recordline_ = line_;

    int c = getafterbreak();
    if (c == EOF) return Status::end;
    if (c == '#') {
        skipline(c);
        return Status::comment;
    }
    if (separator_ == '\0' && c != '\r' && c != '\n') {
        detectseparator(c);
        c = get();
    }
    const char separator = separator_ == '\0' ? ',' : separator_;

    enum class State { fieldstart, unquoted, quoted, closing } state = State::fieldstart;
    bool toolong = false, binary = false;
    long quoteline = 0;
    fields.emplace_back();
    const auto keep = [&](int ch) {
        if (ch == '\0') binary = true;
        if (!toolong) fields.back() += static_cast<char>(ch);
    };
    const auto completed = [&] { return firstbreak_ != 0 ? fieldsatbreak_ : fields.size() - 1; };

    for (;; c = get()) {
        if (c == EOF) {
            if (state != State::quoted) break;
            problem_ = "a quoted field opened on line " + std::to_string(quoteline) +
                       " is never closed; the rest of the file (from line " + std::to_string(recordline_) +
                       ") was not read";
            finishfields(fields, completed());
            return Status::bad;
        }
        const bool linebreak = c == '\r' || c == '\n';
        const bool recordend = linebreak && state != State::quoted;
        if (!toolong) {
            raw_ += static_cast<char>(c);
            if (raw_.size() > maxrecord_ && !recordend) {
                toolong = true;
                if (state == State::quoted && firstbreak_ != 0) {
                    problem_ = "a quoted field opened on line " + std::to_string(quoteline) + " is not closed within " +
                               std::to_string(maxrecord_) + " bytes";
                    finishfields(fields, fieldsatbreak_);
                    resume();
                    return Status::bad;
                }
                fields.resize(fields.size() - 1);  // the field the limit cut
                fields.emplace_back();
            } else if (linebreak && state == State::quoted) {
                if (firstbreak_ == 0) {
                    firstbreak_ = raw_.size();
                    fieldsatbreak_ = fields.size() - 1;
                } else if (c == '\n' && firstbreak_ + 1 == raw_.size() && raw_[firstbreak_ - 1] == '\r') {
                    firstbreak_ = raw_.size();  // CRLF
                }
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
            if (c == '"') state = State::closing;
            else keep(c);
            continue;
        }
        if (state == State::closing && c == '"') {  // a doubled quote
            keep(c);
            state = State::quoted;
            continue;
        }
        if (c == separator) {
            if (!toolong) fields.emplace_back();
            state = State::fieldstart;
            continue;
        }
        if (linebreak) break;
        if (state == State::closing && !toolong) {
            problem_ = quoteline == line_ ? "text after the closing quote of a quoted field"
                                          : "a quoted field opened on line " + std::to_string(quoteline) +
                                                " has text after its closing quote on line " + std::to_string(line_);
            finishfields(fields, completed());
            resume();
            return Status::bad;
        }
        keep(c);
        state = State::unquoted;
    }
    if (toolong) {
        problem_ = "the record is longer than " + std::to_string(maxrecord_) + " bytes";
        finishfields(fields, fields.size() - 1);
        return Status::bad;
    }
    finishfields(fields, fields.size());
    if (binary) {
        problem_ = "binary data (a NUL byte)";
        return Status::bad;
    }
    return Status::record;
}

}  // namespace table
