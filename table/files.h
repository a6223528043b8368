// Opening a file named in UTF-8, on every system: Windows takes file names
// in UTF-16, so a name like "Kanäle.csv" needs converting there.
#pragma once

#include <cstdio>
#include <string>

namespace table {

// std::fopen with a UTF-8 name; nullptr with errno set on failure.
std::FILE* openutf8(const std::string& path, const char* mode);

// A new file of that name, opened for writing bytes; nullptr with errno set
// (EEXIST when there is a file of that name already).
std::FILE* createutf8(const std::string& path);

// std::remove with a UTF-8 name; false on failure.
bool removeutf8(const std::string& path);

}  // namespace table
