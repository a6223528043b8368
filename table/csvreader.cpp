#include "table/csvreader.h"

#include <cstring>

#include "table/decimal.h"
#include "table/encoding.h"

namespace table {
namespace {

bool hasnul(const std::string& text) { return std::memchr(text.data(), '\0', text.size()) != nullptr; }

// Every field UTF-8, and none with a NUL.
void tidy(std::vector<std::string>& fields) {
    for (auto& field : fields) {
        if (hasnul(field)) field.clear();
        else if (!validutf8(field)) field = cp1252toutf8(field);
    }
}

std::string columnwords(std::size_t column) { return "a quote opened in column " + std::to_string(column); }

}  // namespace

CsvReader::CsvReader(Source& in, std::size_t maxrecord) : input_(in), maxrecord_(maxrecord) {}

CsvReader::CsvReader(std::FILE* in, std::size_t maxrecord)
    : file_(std::make_unique<FileSource>(in)), input_(*file_), maxrecord_(maxrecord) {}

// Reads lines until the window holds count of them; false when the input
// ends first.
bool CsvReader::fetch(std::size_t count) {
    while (lines_.size() < count) {
        Line line = std::move(spare_);  // its buffers are reused
        if (!input_.getline(line.text, line.ending, maxrecord_, line.toolong)) {
            spare_ = std::move(line);
            return false;
        }
        line.number = nextnumber_++;
        line.offset = nextoffset_;
        nextoffset_ += line.text.size() + line.ending.size();
        line.alone.reset();
        lines_.push_back(std::move(line));
    }
    return true;
}

// Notes the texts of the record's lines, the first count of the window.
void CsvReader::keep(std::size_t count) {
    recordlines_.resize(count);
    for (std::size_t i = 0; i < count; ++i) recordlines_[i].swap(lines_[i].text);  // the lines go next
}

void CsvReader::pop(std::size_t count) {
    for (; count > 0; --count) {
        spare_ = std::move(lines_.front());
        lines_.pop_front();
    }
}

// Splits a line's text into fields after the count already in fields; when
// inquote, the line goes on with the last field's quoted value.
CsvReader::Split CsvReader::split(const std::string& text, bool inquote, std::vector<std::string>& fields,
                                  std::size_t& count) const {
    const char separator = separator_ == '\0' ? ',' : separator_;
    const auto newfield = [&] {
        if (count < fields.size()) fields[count].clear();
        else fields.emplace_back();
        ++count;
    };
    const std::size_t size = text.size();
    std::size_t i = 0;
    if (!inquote) newfield();
    for (;;) {
        std::string& field = fields[count - 1];
        if (!inquote) {
            if (i < size && text[i] == '"') {
                inquote = true;
                ++i;
                continue;
            }
            // An unquoted field runs to the next separator; a quote inside it
            // is a character. Fields are short: a plain loop beats a search.
            std::size_t end = i;
            while (end < size && text[end] != separator) ++end;
            field.append(text, i, end - i);
            if (end == size) return {Ending::complete, count};
            i = end + 1;
            newfield();
            continue;
        }
        const std::size_t quote = text.find('"', i);
        if (quote == std::string::npos) {
            field.append(text, i, std::string::npos);
            return {Ending::inquote, count};
        }
        field.append(text, i, quote - i);
        i = quote + 1;
        if (i < size && text[i] == '"') {  // a doubled quote
            field += '"';
            ++i;
            continue;
        }
        inquote = false;
        if (i == size) return {Ending::complete, count};
        if (text[i] != separator) return {Ending::textafterquote, count};
        ++i;
        newfield();
    }
}

const char* CsvReader::standsalone(Line& line) {
    if (!standsalone_) return nullptr;
    if (!line.alone) line.alone = standsalone_(line.text);
    return *line.alone;
}

// Counts the separators of the header row outside quotes.
void CsvReader::detectseparator(const std::string& text) {
    std::size_t commas = 0, semicolons = 0, tabs = 0;
    bool quoted = false;
    for (const char c : text) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        commas += c == ',';
        semicolons += c == ';';
        tabs += c == '\t';
    }
    separator_ = semicolons > commas && semicolons >= tabs ? ';' : tabs > commas && tabs > semicolons ? '\t' : ',';
}

CsvReader::Status CsvReader::finish(std::vector<std::string>& fields, std::size_t count, std::size_t lines) {
    fields.resize(count);
    bool binary = false, utf8 = true;
    for (std::size_t i = 0; i < lines; ++i) {
        binary = binary || hasnul(lines_[i].text);
        utf8 = utf8 && validutf8(lines_[i].text);
    }
    lastline_ = lines_[lines - 1].number;
    keep(lines);
    pop(lines);
    if (binary || !utf8) tidy(fields);  // fields of clean lines are clean
    if (!binary) return Status::record;
    problem_ = "binary data (a NUL byte)";
    return Status::bad;
}

// The record on the front line is bad: the fields before the fault are kept,
// and the next record starts on the next line.
CsvReader::Status CsvReader::bad(std::vector<std::string>& fields, std::size_t kept, std::string problem) {
    fields.resize(kept);
    tidy(fields);
    keep(1);
    pop(1);
    problem_ = std::move(problem);
    return Status::bad;
}

CsvReader::Status CsvReader::next(std::vector<std::string>& fields) {
    problem_.clear();
    if (!fetch(1)) {
        fields.clear();
        recordline_ = lastline_ = nextnumber_;
        return Status::end;
    }
    const Line& first = lines_.front();
    recordline_ = lastline_ = first.number;
    const bool comment = !first.text.empty() && first.text[0] == '#';
    if (separator_ == '\0' && !comment && !trim(first.text).empty()) detectseparator(first.text);

    std::size_t count = 0;
    const Split start = split(first.text, false, fields, count);
    if (comment) {
        fields.resize(count);
        tidy(fields);
        keep(1);
        pop(1);
        return Status::comment;
    }
    if (first.toolong)  // the field the limit cut is dropped
        return bad(fields, count - 1, "the line is longer than " + std::to_string(maxrecord_) + " bytes");
    if (start.ending == Ending::textafterquote)
        return bad(fields, start.column - 1, "text after the closing quote in column " + std::to_string(start.column));
    if (start.ending == Ending::complete) return finish(fields, count, 1);

    // A quoted value open at the line's end: it may take in the next lines
    // while none of them holds a channel. The lines are first scanned, then
    // split only when the value closes, and lines a scan from an earlier
    // line found inside the quote are known without a scan: reading stays
    // linear however many lines open quotes that never close.
    const std::size_t column = start.column;
    if (oneline_) return bad(fields, column - 1, columnwords(column) + " is not closed on this line");
    std::size_t k = 1;
    if (openthrough_ > first.number) {
        k = static_cast<std::size_t>(openthrough_ - first.number) + 1;
        if (!fetch(k)) return bad(fields, column - 1, columnwords(column) + " is never closed");
    }
    for (;; ++k) {
        if (!fetch(k + 1)) {
            openthrough_ = lines_.back().number;
            return bad(fields, column - 1, columnwords(column) + " is never closed");
        }
        Line& line = lines_[k];
        if (line.toolong || line.offset + line.text.size() + line.ending.size() - lines_.front().offset > maxrecord_)
            return bad(fields, column - 1,
                       columnwords(column) + " is not closed within " + std::to_string(maxrecord_) + " bytes");
        if (const char* why = standsalone(line))
            return bad(fields, column - 1,
                       columnwords(column) + " is not closed on this line, and line " + std::to_string(line.number) + " " +
                           why);
        if (scratch_.empty()) scratch_.emplace_back();
        scratch_[0].clear();
        std::size_t scanned = 1;
        const Split more = split(line.text, true, scratch_, scanned);
        if (more.ending == Ending::textafterquote)
            return bad(fields, column - 1,
                       columnwords(column) + " closes on line " + std::to_string(line.number) + " with text after it");
        if (more.ending == Ending::complete) break;
        openthrough_ = line.number;
    }
    for (std::size_t i = 1; i <= k; ++i) {
        fields[count - 1] += lines_[i - 1].ending;
        split(lines_[i].text, true, fields, count);
    }
    return finish(fields, count, k + 1);
}

}  // namespace table
