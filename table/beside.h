// Channel lists given without a command prompt: dropped on the program in
// Explorer, or sent to it with Explorer's "Send to" menu. Each list's codes
// go to a new file beside it, and the console says what was written.
#pragma once

#include <string>
#include <vector>

#include "table/cli.h"

namespace table {

// What to do with such a program when it was given nothing, in two sentences.
extern const char* const besideusage;

// "C:\lists\Kanäle.csv" -> "C:\lists\Kanäle-codes.csv", or with " (n)"
// before ".csv" for the n-th such name, n from 2.
std::string codesname(const std::string& list, int n);

// For each list, its codes as CSV in a file beside it, never over an
// existing file; what was written, and which channels failed with their
// lines, go to the streams' err. Exit status as freqcodetable's: 0 when
// every channel of every list was computed.
int codesbeside(const std::vector<std::string>& lists, const Streams& streams);

}  // namespace table
