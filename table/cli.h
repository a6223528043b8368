// freqcode-table's whole work: the command line, one channel or a channel
// list, on streams that the caller gives, so that it runs the same from
// main() and in-process from the tests.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "table/bytes.h"
#include "table/readlist.h"
#include "table/writer.h"

namespace table {

struct Streams {
    std::FILE* in;
    std::FILE* out;
    std::FILE* err;
    bool interactivein;   // standard input is a terminal
    bool interactiveout;  // standard output is a terminal
};

// Exit status: 0 every channel computed, 1 a channel or the list failed (or
// the output could not be written), 2 a wrong command line. args excludes
// the program's name; texts are UTF-8.
int freqcodetable(const std::vector<std::string>& args, const Streams& streams);

// What freqcode-table does with a channel list: its rows to out in that
// form (forpeople: CSV for a person's spreadsheet, as ListWriter writes
// it), and what it says of the list, named so, to err. The same exit
// status.
int listcodes(Source& in, const std::string& name, const ListOptions& options, Writer::Form form, Sink& out, Sink& err,
              bool forpeople = false);

}  // namespace table
