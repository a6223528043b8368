// Channel lists as people's programs and spreadsheets write them: each case
// is the bytes of a file, and the rows and messages it must give.
#include <gtest/gtest.h>

#include <algorithm>
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
            const std::string shown = row.at(side + "_acode") + row.at(side + "_bcode") + row.at(side + "_rcode");
            // A failed row may show no codes at all, never others.
            if (!shown.empty() || row.at("status").starts_with("ok")) {
                EXPECT_EQ(shown, codes ? result.codes.acode + result.codes.bcode + result.codes.rcode : "")
                    << side << " " << khz;
            }
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
    const std::string wide =
        "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,RxDtcsCode,CrossMode,"
        "Mode,TStep,Skip,Power,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE\n";
    const auto wideline = [](const std::string& start, const std::string& mhz, const std::string& comment) {
        return start + "," + mhz + ",,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,12.50,,50W," + comment + ",,,,\n";
    };
    const struct {
        const char* what;
        std::string input;
        std::vector<std::string> rows;
        std::vector<std::string> messages;  // each found on standard error
        int status = 1;
        std::vector<std::string> args = {"--csv"};
    } cases[] = {
        // A quote that is not closed on its line never takes in a line that
        // holds a channel: its own line fails, and each next line is read
        // on its own.
        {"a stray quote, closed in the next channel's name",
         header + "1,\"Joe Net,145.500000,,0.000000,12.50\n2,Dish 5\",145.600000,,0.000000,12.50\n",
         {"1|||||a quote opened in column 2 is not closed on this line, and line 3 holds a channel of its own",
          "2|Dish 5\"|145600|145600|12.5kHz"},
         {"line 2: a quote opened in column 2", "1 of 2 channels failed"}},
        {"a quote opened at a line's start and closed in the next line",
         header + "\"1,A,145.5,,0,12.50\n2,B,145.6,,0,12.50\",x\n",
         {"1|||||a quote opened in column 1 is not closed on this line, and line 3 holds a channel of its own",
          "2|B||||7 fields where the header has 6"},
         {"line 2: a quote opened in column 1", "line 3: 7 fields", "2 of 2 channels failed"}},
        {"a quote in a name and another in a comment three lines on",
         wide + wideline("1,\"Joe", "145.500000", "") + wideline("2,B", "145.600000", "") +
             wideline("3,C", "145.700000", "") + wideline("4,D", "145.800000", "5/8\""),
         {"1|||||a quote opened in column 2 is not closed on this line, and line 3 holds a channel of its own",
          "2|B|145600|145600|12.5kHz", "3|C|145700|145700|12.5kHz", "4|D|145800|145800|12.5kHz"},
         {"line 2: a quote opened in column 2"}},
        {"a quoted name that takes in the rest of its line",
         header + "1,\"Joe,145.500000,,0.000000,12.50,5/8\"\n",
         {"1|Joe,145.500000,,0.000000,12.50,5/8||||no frequency"},
         {"line 2: no frequency"}},
        {"a bare LF inside a name in a CRLF file", header + "1,Rptr\nNorth,145.5,-,0.6,12.5\r\n",
         {"1|Rptr||||no frequency", "North|145.5||||Frequency '-' is not a number of MHz"},
         {"line 2: no frequency", "line 3: Frequency '-'"}},
        {"a quote never closed takes in no channel, and the lines after it are read",
         header + "1,A,145.5,,0,12.5\n2,\"B,145.6,,0,12.5\n# note\n\n",
         {"1|A|145500|145500|12.5kHz", "2|||||a quote opened in column 2 is never closed"},
         {"line 3: a quote opened in column 2 is never closed", "skipped 1 comment line and 1 blank line"}},
        {"a quoted name past 64 KiB, and a good channel after it",
         header + "1,\"" + longname + "\",145.5,,0,12.5\n2,Good,145.6,,0,12.5\n",
         {"1|||||the line is longer than 65536 bytes", "2|Good|145600|145600|12.5kHz"},
         {"line 2: the line is longer", "1 of 2 channels failed"}},
        {"a line break typed into a cell stays readable, in a CR-only file",
         "Location,Name,Frequency,Duplex,Offset,TStep\r1,\"two\rlines\",145.5,-,0.6,12.5\r2,x,29,,0,5\r",
         {"1|two\rlines|145500|144900|12.5kHz",
          "2|x|29000|29000|5kHz|rx 29000: outside 30000 to 500000 kHz; tx 29000: outside 30000 to 500000 kHz"},
         {"line 4: rx 29000"}},
        {"a broken row keeps its location and name",
         header + "7,Seven,14\0" "5.5,,0,12.5\n8,Eight,145.5,,0,12.5,"s + longname + "\n9,\"Nine\"x,145.5,,0,12.5\n",
         {"7|Seven||||binary data (a NUL byte)", "8|Eight||||the line is longer than 65536 bytes",
          "9|||||text after the closing quote in column 2"},
         {"line 2: binary", "line 3: the line", "line 4: text after"}},
        {"a # line that holds a channel is named as it is skipped",
         "name,rx_khz,tx_khz,step\n#1 Rptr,145000,145600,12.5\n# club list\n", {},
         {"line 2: skipped as a comment, but it holds a channel", "skipped 2 comment lines",
          "1 comment line holds a channel"}},
        {"control characters reach no terminal", header + "1,\"Evil\x1b[2J\x7f\xc2\x9b\",145.5,,0,12.5x\x1b[H\n",
         {}, {"line 2: step '12.5x\\x1B[H'"}, 1, {"--table"}},
        {"a blank first line, a doubled byte order mark, notes on Location and Name",
         " \n\xEF\xBB\xBF\xEF\xBB\xBFLocation (#);Name (callsign);Frequency;TStep\n1;Caf\xE9;145,500000;12,50\n",
         {"1|Caf\xC3\xA9|145500|145500|12.5kHz"},
         {"skipped 1 blank line"}, 0},
        {"--step is case-blind; a list without a step column says what it used",
         "Location,Frequency\n1,145.5\n2,145.5125\n", {"1||145500|145500|25kHz", "2||145512.5|145512.5|12.5kHz"},
         {"has no step column: each channel takes the coarsest"}, 0, {"--csv", "--step", "AUTO"}},
        {"semicolons and decimal commas, in Windows-1252",
         "Location;Name;Frequency;Duplex;Offset;TStep\r\n1;Caf\xE9;145,500000;-;0,600000;12,50\r\n",
         {"1|Caf\xC3\xA9|145500|144900|12.5kHz"},
         {}, 0},
        {"a spreadsheet's Unicode text: UTF-16 with tabs",
         utf16("Location\tName\tFrequency\tDuplex\tOffset\tTStep\r\n1\tA\t438,5\t+\t7,6\t25\r\n", true),
         {"1|A|438500|446100|25kHz"},
         {}, 0},
        {"UTF-16 big-endian", utf16("rx_khz,step\n145000,12.5\n", false), {"||145000||12.5kHz"}, {}, 0},
        {"units in the header and in the values",
         "Location,Frequency (MHz),Duplex,Offset (MHz),TStep (kHz)\n1,145.5 MHz,-,600 kHz,12.5 kHz\n2,438.5,+,7.6 MHz,25\n",
         {"1||145500|144900|12.5kHz", "2||438500|446100|25kHz"},
         {}, 0},
        {"the newest export columns", wide + "0,Call,145.500000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,12.50,,50W,,,,,\n",
         {"0|Call|145500|145500|12.5kHz"},
         {}, 0},
        {"extra fields: empty ones are fine",
         "Location,Frequency,TStep\n1,145.5,12.5,,\n2,145.5,12.5,,x\n",
         {"1||145500|145500|12.5kHz", "2|||||5 fields where the header has 3"},
         {"line 3: 5 fields"}},
        {"a value quoted in a message stays UTF-8 and one line",
         "Location,TStep,Frequency\n1,12.5,\"" + std::string(30, 'a') + "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\n\"\n",
         {"1|||||Frequency '" + std::string(30, 'a') + "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9...' is not a number of MHz"},
         {"line 2: Frequency"}},
        // Damage of every kind found so far, one case each: every line that
        // holds a channel is its own row or is named.
        {"a stray quote in the header row", header.substr(0, header.size() - 1) + ",\"Comment\n1,A,145.5,,0,12.5,x\n2,B,145.6,,0,12.5,y\"\n",
         {}, {"line 1: the header row: a quote opened in column 7 is not closed on this line"}},
        {"a quote in a last column, closed after the next line's frequency",
         header + "1,A,145.5,,0,\"12.5\n2,B,145.600000\"\n",
         {"1|A||||a quote opened in column 6 is not closed on this line, and line 3 holds a channel of its own",
          "2|B||||Frequency '145.600000\"' is not a number of MHz"},
         {"line 2: a quote opened in column 6", "line 3: Frequency"}},
        {"a whole line in quotes", header + "\"1,A,145.5,,0,12.5\"\n", {"1,A,145.5,,0,12.5|||||1 field where the header has 6: is the separator ','?"},
         {"line 2: 1 field"}},
        {"a ';' header over ',' rows, and tabs made spaces",
         "Location;Name;Frequency\n1,A,145.5\n", {"1,A,145.5|||||1 field where the header has 3: is the separator ','?"}, {"line 2: 1 field"}},
        {"tabs made spaces", "Location\tName\tFrequency\n1       A       145.5\n",
         {"1       A       145.5|||||1 field where the header has 3: were its tabs turned into spaces?"}, {"line 2: 1 field"}},
        {"a transmit column of a name no form knows", "Receive Frequency,Transmit Freq\n145.5,145.6\n", {},
         {"line 1: the header row's column 2, 'Transmit Freq', looks like a frequency"}},
        {"Rx Only No without a transmit frequency", "No.,Receive Frequency,Transmit Frequency,Rx Only\n1,145.5,,No\n",
         {"1||145500|||no transmit frequency, and Rx Only is not Yes"}, {"line 2: no transmit frequency"}, 1,
         {"--csv", "--step", "12.5"}},
        {"valid names over two lines, in every header form",
         "No.,Channel Name,Receive Frequency,Transmit Frequency,Rx Only\n1,\"North\nHill\",145.5,145.5,No\n"
         "2,\"Rptr, 2\",145.6,145.6,No\n",
         {"1|North\nHill|145500|145500|12.5kHz", "2|Rptr, 2|145600|145600|12.5kHz"}, {}, 0, {"--csv", "--step", "12.5"}},
        {"the short form", "Location,Name,RX Freq,TX Freq\n1,\"North\nHill\",145.5,145.5\n2,B,145.6,\n",
         {"1|North\nHill|145500|145500|12.5kHz", "2|B|145600||12.5kHz"}, {}, 0, {"--csv", "--step", "12.5"}},
        {"a no-break space before a unit; a right-to-left mark shown by its number",
         header + "1,A\xE2\x80\xAE,145.600\xC2\xA0MHz,,0,12.5\n", {}, {}, 0, {"--table"}},
        {"a frequency finer than its codes", header + "1,A,145.000004,,0,12.5\n",
         {"1|A|145000.004|145000.004|12.5kHz|rx 145000.004: its codes would set 145000 kHz; give the frequency to 10 Hz"},
         {"line 2: rx 145000.004"}},
        {"a line break in a value is written \\n", "Location,TStep,Frequency\n1,12.5,\"145.5\n\"\n",
         {"1|||||Frequency '145.5\\n' is not a number of MHz"},
         {"line 2: Frequency '145.5\\n'"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ToolRun r = call(c.args, c.input);
        EXPECT_EQ(r.status, c.status) << r.err;
        if (c.args[0] == "--csv") {
            EXPECT_EQ(summaries(r.out), c.rows);
        }
        for (const auto& message : c.messages) EXPECT_NE(r.err.find(message), std::string::npos) << message << "\n" << r.err;
        EXPECT_TRUE(table::validutf8(r.out) && table::validutf8(r.err));
        // What reaches a terminal holds no control character but the line ends.
        for (const std::string* text : {&r.err, c.args[0] == "--table" ? &r.out : &r.err})
            EXPECT_FALSE(std::any_of(text->begin(), text->end(), [](char ch) {
                return (static_cast<unsigned char>(ch) < 0x20 && ch != '\n') || ch == 0x7f;
            })) << *text;
        for (const std::string* text : {&r.err, c.args[0] == "--table" ? &r.out : &r.err}) {
            EXPECT_EQ(text->find("\xE2\x80\xAE"), std::string::npos) << *text;
        }
        if (c.args[0] == "--csv") expectagreement(r.out);
    }
}

TEST(ChannelLists, HeadersThatDoNotSayWhichColumnToUse) {
    const struct {
        std::string header, message;
    } cases[] = {
        {"Location,Frequency,Name,Frequency,TStep", "line 1: the header row has two Frequency columns (2 and 4)"},
        {"Frequency,rx_khz,TStep", "the header row has both Frequency and rx_khz columns"},
        {"Frequency (GHz),TStep", "the unit of 'Frequency (GHz)' is not MHz, kHz or Hz"},
        {"Rx Frequency,RX Freq", "the header row has both Rx Frequency and RX Freq columns (1 and 2)"},
        {"Frequency,Receive Frequency", "the header row has both Frequency and Receive Frequency columns"},
    };
    for (const auto& c : cases) {
        const ToolRun r = call({"--csv"}, c.header + "\n145.5,12.5\n");
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
}

// The same channels exported by different programming software give the
// same rows, whichever header form, quoting and line ends they came in.
TEST(ChannelLists, EveryHeaderFormGivesTheSameRows) {
    const std::string forms[] = {
        "Location,Name,Frequency,Duplex,Offset\n1,Calling,145.500000,,0.000000\n2,Rptr,438.500000,+,7.600000\n"
        "3,Marine,156.800000,off,0\n",
        "\"No.\",\"Channel Name\",\"Receive Frequency\",\"Transmit Frequency\",\"Channel Type\",\"Transmit Power\","
        "\"Band Width\",\"Rx Only\"\r\n\"1\",\"Calling\",\"145.50000\",\"145.50000\",\"A-Analog\",\"High\",\"12.5K\",\"No\"\r\n"
        "\"2\",\"Rptr\",\"438.50000\",\"446.10000\",\"A-Analog\",\"High\",\"25K\",\"No\"\r\n"
        "\"3\",\"Marine\",\"156.80000\",\"156.80000\",\"A-Analog\",\"Low\",\"25K\",\"Yes\"\r\n",
        "Channel Number,Channel Name,Channel Type,Rx Frequency,Tx Frequency,Bandwidth (kHz),Colour Code,Rx Only\r\n"
        "1,Calling,Analogue,145.50000,145.50000,12.5,0,No\r\n2,Rptr,Analogue,438.50000,446.10000,25,0,No\r\n"
        "3,Marine,Analogue,156.80000,,25,0,Yes\r\n",
        "Location,Name,RX Freq,TX Freq,Rx Only\n1,Calling,145.5,145.5,\n2,Rptr,438.5,446.1,\n3,Marine,156.8,,Yes\n",
        "Location,Name,rx_khz,tx_khz,Rx Only\n1,Calling,145500,145500,\n2,Rptr,438500,446100,\n3,Marine,156800,,Yes\n",
    };
    const ToolRun first = call({"--csv"}, forms[0]);
    EXPECT_EQ(summaries(first.out), (std::vector<std::string>{"1|Calling|145500|145500|25kHz", "2|Rptr|438500|446100|25kHz",
                                                              "3|Marine|156800||25kHz|ok, receive only"}));
    for (const auto& form : forms) {
        const ToolRun r = call({"--csv"}, form);
        EXPECT_EQ(r.status, 0) << form << r.err;
        EXPECT_EQ(r.out, first.out) << form;
        EXPECT_NE(r.err.find("has no step column: each channel takes the coarsest"), std::string::npos) << r.err;
    }
}

// Comment lines, unused memories, blank rows and dropped trailing fields
// change nothing about the channels that are there.
TEST(ChannelLists, SkippedLinesChangeNoCodes) {
    const std::string clean = header + "1,A,145.5,-,0.6,12.5\n3,C,438.5,+,7.6,25\n";
    const std::string messy = "# exported from the club's radio\n" + header +
                              "1,A,145.5,-,0.6,12.5\n# unused:\n2,,,,,\n,,,,,\n\n3,C,438.5,+,7.6,25\n4,,,,0.000000,12.50\n";
    const ToolRun a = call({"--csv"}, clean), b = call({"--csv"}, messy);
    EXPECT_EQ(b.status, 0) << b.err;
    EXPECT_EQ(b.err, "freqcode-table: skipped 2 comment lines, 2 blank lines and 2 unused memories\n");
    EXPECT_EQ(a.out, b.out);
    EXPECT_EQ(records(a.out).size(), 2u);
}

}  // namespace
