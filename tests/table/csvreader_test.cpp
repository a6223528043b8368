#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "table/csvreader.h"
#include "toolrun.h"

namespace {

using namespace std::string_literals;

// Reads all records of a text: each record's fields joined by "|", or
// "bad@LINE: problem".
std::vector<std::string> readall(const std::string& text, std::size_t maxrecord) {
    std::FILE* in = filewith(text);
    table::CsvReader reader(in, maxrecord);
    std::vector<std::string> fields, records;
    for (auto status = reader.next(fields); status != table::CsvReader::Status::end; status = reader.next(fields)) {
        std::string record;
        if (status == table::CsvReader::Status::comment) {
            record = "#@" + std::to_string(reader.line());
        } else if (status == table::CsvReader::Status::bad) {
            record = "bad@" + std::to_string(reader.line()) + ": " + reader.problem();
        } else {
            for (std::size_t i = 0; i < fields.size(); ++i) {
                if (i > 0) record += '|';
                record += fields[i];
            }
            record += '@';
            record += std::to_string(reader.line());
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
        {"ab\"c,x\n", {"ab\"c|x@1"}},                                // a quote inside a field is a character
        {"\"d\"e,x\nf\n", {"bad@1: text after the closing quote in column 1", "f@2"}},
        // A stray quote never takes another record's lines: reading goes on
        // at the line after the bad record's first.
        {"h\n\"B,1\n2\n\"D\",x\n3\n",
         {"h@1", "bad@2: a quote opened in column 1 closes on line 4 with text after it", "2@3", "D|x@4", "3@5"}},
        {"\"ab\ncdefghijk\nl\n",
         {"bad@1: a quote opened in column 1 is not closed within 8 bytes", "bad@2: the line is longer than 8 bytes",
          "l@3"},
         8},
        {"\"a\rb\",x\rnext\r", {"a\rb|x@1", "next@3"}},  // CR-only line ends inside quotes
        {"# list\na;b;c,d\n#x\n1;2,3\n", {"#@1", "a|b|c,d@2", "#@3", "1|2,3@4"}},
        {"a\tb\tc;d\n1\t2\n", {"a|b|c;d@1", "1|2@2"}},
        {"\xFF\xFE" "a\0,\0\xE9\0\n\0"s, {"a|\xC3\xA9@1"}},           // UTF-16LE
        {"\xFE\xFF" "\0a\0,\xD8\x3D\xDE\x00\0\n"s, {"a|\xF0\x9F\x98\x80@1"}},  // UTF-16BE, a pair
        {"Caf\xE9,\xE2\x82\xAC\n", {"Caf\xC3\xA9|\xE2\x82\xAC@1"}},      // Windows-1252 beside UTF-8
        {"a\n\nb\n", {"a@1", "@2", "b@3"}},
        {"\"open,x\nmore\n", {"bad@1: a quote opened in column 1 is never closed", "more@2"}},
        {"a,\0b\nc\n"s, {"bad@1: binary data (a NUL byte)", "c@2"}},
        {"0123456789,x\nshort\n", {"bad@1: the line is longer than 8 bytes", "short@2"}, 8},
    };
    for (const auto& c : cases) EXPECT_EQ(readall(c.text, c.maxrecord), c.records) << c.text;
}

}  // namespace
