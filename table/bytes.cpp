#include "table/bytes.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace table {

std::size_t FileSource::read(char* data, std::size_t size) {
    if (error_ != 0) return 0;
    errno = 0;
    const std::size_t got = std::fread(data, 1, size, file_);
    if (got == 0 && std::ferror(file_)) error_ = errno != 0 ? errno : EIO;
    return got;
}

std::size_t MemorySource::read(char* data, std::size_t size) {
    const std::size_t got = std::min(size, bytes_.size());
    if (got > 0) std::memcpy(data, bytes_.data(), got);
    bytes_.remove_prefix(got);
    return got;
}

bool FileSink::write(std::string_view text) {
    if (!text.empty()) std::fwrite(text.data(), 1, text.size(), file_);
    return std::fflush(file_) == 0 && !std::ferror(file_);
}

}  // namespace table
