#include "table/census.h"

#include <algorithm>

namespace table {

void Census::add(const std::vector<std::string_view>& fields, bool quoted) {
    if (const auto reading = format_.reading(fields, quoted)) readings_.push_back(*reading);
}

// Fields at every separator, quotes or not, as far as the columns read.
void Census::splitplain(std::string_view text) {
    fields_.clear();
    const std::size_t columns = format_.columnsread();
    for (std::size_t start = 0; fields_.size() < columns;) {
        const std::size_t end = text.find(separator_, start);
        fields_.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
}

// The line as one record of its own: a field that starts with a quote runs
// to the quote that closes it ("" is a quote inside), or to the line's end;
// what follows a closing quote up to the next separator stays in the field.
void Census::splitquoted(std::string_view text) {
    unquoted_.clear();
    ends_.clear();
    bool inquote = false, fieldstart = true;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inquote) {
            if (c != '"') unquoted_ += c;
            else if (i + 1 < text.size() && text[i + 1] == '"') unquoted_ += text[++i];
            else inquote = false;
        } else if (c == separator_) {
            ends_.push_back(unquoted_.size());
            fieldstart = true;
            continue;
        } else if (c == '"' && fieldstart) {
            inquote = true;
        } else {
            unquoted_ += c;
        }
        fieldstart = false;
    }
    ends_.push_back(unquoted_.size());
    fields_.clear();
    std::size_t start = 0;
    for (const std::size_t end : ends_) {
        fields_.push_back(std::string_view(unquoted_).substr(start, end - start));
        start = end;
    }
}

const std::vector<ListFormat::Reading>& Census::of(std::string_view line) {
    readings_.clear();
    splitplain(line);
    const bool quoted = line.find('"') != std::string_view::npos;
    if (!quoted) {
        add(fields_, false);
        return readings_;
    }
    // Without a location column, a line whose first field holds a quote
    // after its start is the tail of a value quoted on an earlier line.
    const std::size_t inner = trim(fields_.front()).find('"');
    if (!format_.haslocation() && inner != std::string_view::npos && inner > 0) return readings_;
    add(fields_, true);
    splitquoted(line);
    add(fields_, true);
    removed_.assign(line);
    removed_.erase(std::remove(removed_.begin(), removed_.end(), '"'), removed_.end());
    splitplain(removed_);
    add(fields_, true);
    return readings_;
}

const char* Census::standsalone(std::string_view line) {
    if (holdschannel(line)) return "holds a channel of its own";
    if (!format_.haslocation()) return nullptr;
    splitplain(line);
    return format_.startsmemory(fields_) ? "starts a memory of its own" : nullptr;
}

bool Census::agrees(const std::vector<ListFormat::Reading>& readings, const Channel& row) const {
    return std::any_of(readings.begin(), readings.end(),
                       [&](const ListFormat::Reading& reading) { return format_.agrees(reading, row); });
}

}  // namespace table
