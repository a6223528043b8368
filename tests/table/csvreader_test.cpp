#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "csvreader.h"

namespace {

using namespace std::string_literals;

// Reads all records of a text: each record's fields joined by "|", or
// "bad@LINE: problem".
std::vector<std::string> readall(const std::string& text, std::size_t maxrecord) {
    std::FILE* in = std::tmpfile();
    std::fwrite(text.data(), 1, text.size(), in);
    std::rewind(in);
    table::CsvReader reader(in, maxrecord);
    std::vector<std::string> fields, records;
    for (auto status = reader.next(fields); status != table::CsvReader::Status::end; status = reader.next(fields)) {
        std::string record;
        if (status == table::CsvReader::Status::bad) {
            record = "bad@" + std::to_string(reader.line()) + ": " + reader.problem();
        } else {
            for (std::size_t i = 0; i < fields.size(); ++i) record += (i ? "|" : "") + fields[i];
            record += "@" + std::to_string(reader.line());
        }
        records.push_back(record);
    }
    std::fclose(in);
    return records;
}

using Records = std::vector<std::string>;

TEST(CsvReader, RecordsAndFields) {
    const struct {
        std::string text;
        Records records;
        std::size_t maxrecord = 1024;
    } cases[] = {
        {"", {}},
        {"a,b,c\n1,2,3\n", {"a|b|c@1", "1|2|3@2"}},
        {"a,b\r\n1,2\r\n", {"a|b@1", "1|2@2"}},
        {"a,b\n1,2", {"a|b@1", "1|2@2"}},                            // no line end at the end
        {"a\r1\r", {"a@1", "1@2"}},                                  // old Mac line ends
        {"\xEF\xBB\xBF" "a,b\n", {"a|b@1"}},                         // byte order mark
        {"\xEF\xBC\x94,x\n", {"\xEF\xBC\x94|x@1"}},                  // not a byte order mark
        {",,\n", {"||@1"}},
        {"\"a,b\",\"say \"\"hi\"\"\"\n", {"a,b|say \"hi\"@1"}},
        {"\"two\nlines\",x\nnext\n", {"two\nlines|x@1", "next@3"}},  // next record starts on line 3
        {"ab\"c,\"d\"e\n", {"ab\"c|de@1"}},                          // stray quotes taken as they are
        {"a\n\nb\n", {"a@1", "@2", "b@3"}},
        {"\"open,x\nmore\n", {"bad@1: a quoted field is not closed before the end of the input"}},
        {"a,\0b\nc\n"s, {"bad@1: binary data (a NUL byte)", "c@2"}},
        {"0123456789,x\nshort\n", {"bad@1: the record is longer than 8 bytes", "short@2"}, 8},
    };
    for (const auto& c : cases) EXPECT_EQ(readall(c.text, c.maxrecord), c.records) << c.text;
}

}  // namespace
