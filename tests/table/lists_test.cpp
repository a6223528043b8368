// Channel lists as people's programs and spreadsheets write them: each case
// is the bytes of a file, and the rows and messages it must give.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calc/codes.h"
#include "table/encoding.h"
#include "toolrun.h"

namespace {

using namespace std::string_literals;

// A row as "location|name|rx_khz|tx_khz|step", with "|status" when not ok.
std::vector<std::string> summaries(const std::string& csv) {
    std::vector<std::string> rows;
    for (const auto& row : records(csv)) {
        std::string line = row.at("location") + "|" + row.at("name") + "|" + row.at("rx_khz") + "|" + row.at("tx_khz") +
                           "|" + row.at("step");
        if (row.at("status") != "ok") line += "|" + row.at("status");
        rows.push_back(line);
    }
    return rows;
}

// Each side's codes must be what calccodes gives for the row's step and kHz.
void expectagreement(const std::string& csv) {
    for (const auto& row : records(csv)) {
        for (const auto& [side, direction] : {std::pair{"rx"s, calc::Direction::receive}, std::pair{"tx"s, calc::Direction::transmit}}) {
            const std::string khz = row.at(side + "_khz");
            const auto result = calc::calccodes(direction, row.at("step"), khz);
            const bool codes = !khz.empty() && !row.at("step").empty() && result.outcome == calc::Outcome::codes;
            EXPECT_EQ(row.at(side + "_acode") + row.at(side + "_bcode") + row.at(side + "_rcode"),
                      codes ? result.codes.acode + result.codes.bcode + result.codes.rcode : "")
                << side << " " << khz;
        }
    }
}

std::string utf16(const std::string& ascii, bool little) {
    std::string out = little ? "\xFF\xFE" : "\xFE\xFF";
    for (const char c : ascii) out += little ? std::string{c, '\0'} : std::string{'\0', c};
    return out;
}

const std::string header = "Location,Name,Frequency,Duplex,Offset,TStep\n";

TEST(ChannelLists, AsPeopleKeepThem) {
    const std::string longname(70'000, 'x');
    const struct {
        const char* what;
        std::string input;
        std::vector<std::string> rows;
        std::vector<std::string> messages;  // each found on standard error
    } cases[] = {
        {"a stray quote takes no other row's values",
         header + "1,A,145.5,,0,12.5\n2,\"B,145.6,,0,12.5\n3,C,145.7,,0,12.5\n4,\"D\",145.8,,0,12.5\n5,E,145.9,,0,12.5\n",
         {"1|A|145500|145500|12.5kHz",
          "2|||||a quoted field opened on line 3 has text after its closing quote on line 5",
          "3|C|145700|145700|12.5kHz", "4|D|145800|145800|12.5kHz", "5|E|145900|145900|12.5kHz"},
         {"line 3: a quoted field opened on line 3", "1 of 5 channels failed"}},
        {"an unclosed quote at the end", header + "1,A,145.5,,0,12.5\n2,\"B,145.6,,0,12.5\n3,C,145.7,,0,12.5\n",
         {"1|A|145500|145500|12.5kHz",
          "2|||||a quoted field opened on line 3 is never closed; the rest of the file (from line 3) was not read"},
         {"1 of 2 channels failed"}},
        {"a broken row keeps its location and name",
         header + "7,Seven,14\0" "5.5,,0,12.5\n8,Eight,145.5,,0,12.5,"s + longname + "\n9,\"Nine\"x,145.5,,0,12.5\n",
         {"7|Seven||||binary data (a NUL byte)", "8|Eight||||the record is longer than 65536 bytes",
          "9|||||text after the closing quote of a quoted field"},
         {"line 2: binary", "line 3: the record", "line 4: text after"}},
        {"semicolons and decimal commas, in Windows-1252",
         "Location;Name;Frequency;Duplex;Offset;TStep\r\n1;Caf\xE9;145,500000;-;0,600000;12,50\r\n",
         {"1|Caf\xC3\xA9|145500|144900|12.5kHz"},
         {}},
        {"a spreadsheet's Unicode text: UTF-16 with tabs",
         utf16("Location\tName\tFrequency\tDuplex\tOffset\tTStep\r\n1\tA\t438,5\t+\t7,6\t25\r\n", true),
         {"1|A|438500|446100|25kHz"},
         {}},
        {"UTF-16 big-endian", utf16("rx_khz,step\n145000,12.5\n", false), {"||145000||12.5kHz"}, {}},
        {"units in the header and in the values",
         "Location,Frequency (MHz),Duplex,Offset (MHz),TStep (kHz)\n1,145.5 MHz,-,600 kHz,12.5 kHz\n2,438.5,+,7.6 MHz,25\n",
         {"1||145500|144900|12.5kHz", "2||438500|446100|25kHz"},
         {}},
        {"the newest export columns",
         "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,RxDtcsCode,CrossMode,"
         "Mode,TStep,Skip,Power,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE\n"
         "0,Call,145.500000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,12.50,,50W,,,,,\n",
         {"0|Call|145500|145500|12.5kHz"},
         {}},
        {"line numbers of a CR-only file with line breaks in quotes",
         "Location,Name,Frequency,TStep\r1,\"two\rlines\",145.5,12.5\r2,x,29,5\r",
         {"1|two\rlines|145500|145500|12.5kHz", "2|x|29000|29000|5kHz|rx 29000: outside 30000 to 500000 kHz; tx 29000: outside 30000 to 500000 kHz"},
         {"line 4: rx 29000"}},
        {"extra fields: empty ones are fine",
         "Location,Frequency,TStep\n1,145.5,12.5,,\n2,145.5,12.5,,x\n",
         {"1||145500|145500|12.5kHz", "2|||||5 fields where the header has 3"},
         {"line 3: 5 fields"}},
        {"a value quoted in a message stays UTF-8 and one line",
         "Location,Frequency,TStep\n1,\"" + std::string(30, 'a') + "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\n\",12.5\n",
         {"1|||||Frequency '" + std::string(30, 'a') + "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9...' is not a number of MHz"},
         {"line 2: Frequency"}},
        {"a line break in a value is written \\n", "Location,Frequency,TStep\n1,\"145.5\n\",12.5\n",
         {"1|||||Frequency '145.5\\n' is not a number of MHz"},
         {"line 2: Frequency '145.5\\n'"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ToolRun r = call({"--csv"}, c.input);
        EXPECT_EQ(r.status, c.messages.empty() ? 0 : 1) << r.err;
        EXPECT_EQ(summaries(r.out), c.rows);
        for (const auto& message : c.messages) EXPECT_NE(r.err.find(message), std::string::npos) << message << "\n" << r.err;
        EXPECT_TRUE(table::validutf8(r.out) && table::validutf8(r.err));
        EXPECT_EQ(r.err.find('\r'), std::string::npos) << "a message spans lines";
        expectagreement(r.out);
    }
}

TEST(ChannelLists, HeadersThatDoNotSayWhichColumnToUse) {
    const struct {
        std::string header, message;
    } cases[] = {
        {"Location,Frequency,Name,Frequency,TStep", "line 1: the header row has two Frequency columns (2 and 4)"},
        {"Frequency,rx_khz,TStep", "the header row has both Frequency and rx_khz columns"},
        {"Frequency (GHz),TStep", "the unit of 'Frequency (GHz)' is not MHz, kHz or Hz"},
    };
    for (const auto& c : cases) {
        const ToolRun r = call({"--csv"}, c.header + "\n145.5,12.5\n");
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
}

// Comment lines, unused memories, blank rows and dropped trailing fields
// change nothing about the channels that are there.
TEST(ChannelLists, SkippedLinesChangeNoCodes) {
    const std::string clean = header + "1,A,145.5,-,0.6,12.5\n3,C,438.5,+,7.6,25\n";
    const std::string messy = "# exported from the club's radio\n" + header +
                              "1,A,145.5,-,0.6,12.5\n# unused:\n2,,,,,\n,,,,,\n\n3,C,438.5,+,7.6,25\n4,Empty\n";
    const ToolRun a = call({"--csv"}, clean), b = call({"--csv"}, messy);
    EXPECT_EQ(b.status, 0) << b.err;
    EXPECT_EQ(b.err, "");
    EXPECT_EQ(a.out, b.out);
    EXPECT_EQ(records(a.out).size(), 2u);
}

}  // namespace
