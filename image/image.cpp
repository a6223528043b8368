#include "image/image.h"

#include <algorithm>
#include <array>

#include "calc/conversions.h"

namespace image {
namespace {

std::string lowered(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

void hexbyte(std::string& out, unsigned value) {
    out += calc::hexdigits[(value >> 4) & 0xF];
    out += calc::hexdigits[value & 0xF];
}

int hexvalue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The bytes a record's hex digits give, or nothing when one is not a
// digit or one is left over.
std::optional<Bytes> hexbytes(std::string_view digits) {
    if (digits.size() % 2 != 0) return std::nullopt;
    Bytes out;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        const int high = hexvalue(digits[i]), low = hexvalue(digits[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        out.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    return out;
}

// The file's lines, each without its line end, numbered from 1.
std::vector<std::string_view> linesof(std::string_view file) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= file.size(); ++i) {
        if (i < file.size() && file[i] != '\n' && file[i] != '\r') continue;
        lines.push_back(file.substr(start, i - start));
        if (i + 1 < file.size() && file[i] == '\r' && file[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
}

bool blankline(std::string_view line) { return line.find_first_not_of(" \t") == std::string_view::npos; }

Read refuse(Read read, long line, std::string problem) {
    read.line = line;
    read.problem = std::move(problem);
    return read;
}

std::string beyond(std::size_t size) { return "data beyond the chip's " + std::to_string(size) + " bytes"; }

Read readihex(std::string_view file, Read read) {
    const std::size_t size = read.bytes.size();
    const auto lines = linesof(file);
    std::size_t base = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const long number = static_cast<long>(i) + 1;
        const std::string_view line = lines[i];
        if (blankline(line)) continue;
        if (line[0] != ':') return refuse(std::move(read), number, "not an Intel HEX record (no ':')");
        const auto bytes = hexbytes(line.substr(1));
        if (!bytes || bytes->size() < 5 || bytes->size() != 5u + (*bytes)[0])
            return refuse(std::move(read), number, "a bad Intel HEX record");
        unsigned sum = 0;
        for (const auto b : *bytes) sum += b;
        if ((sum & 0xFF) != 0) return refuse(std::move(read), number, "a bad checksum");
        const std::size_t count = (*bytes)[0], address = (*bytes)[1] * 256u + (*bytes)[2];
        const unsigned type = (*bytes)[3];
        const auto value16 = [&] { return count == 2 ? (*bytes)[4] * 256u + (*bytes)[5] : 0u; };
        switch (type) {
            case 0x00:
                for (std::size_t k = 0; k < count; ++k) {
                    const std::size_t at = base + address + k;
                    if (at >= size) return refuse(std::move(read), number, beyond(size));
                    read.bytes[at] = (*bytes)[4 + k];
                    read.extent = std::max(read.extent, at + 1);
                }
                break;
            case 0x01: return read;
            case 0x02: base = static_cast<std::size_t>(value16()) * 16; break;
            case 0x04: base = static_cast<std::size_t>(value16()) << 16; break;
            case 0x03:
            case 0x05: break;  // a start address: no data
            default: return refuse(std::move(read), number, "an Intel HEX record of unknown type " + std::to_string(type));
        }
    }
    return refuse(std::move(read), static_cast<long>(lines.size()), "no end-of-file record: is the file cut short?");
}

Read readsrec(std::string_view file, Read read) {
    const std::size_t size = read.bytes.size();
    const auto lines = linesof(file);
    long datarecords = 0;
    bool counted = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const long number = static_cast<long>(i) + 1;
        const std::string_view line = lines[i];
        if (blankline(line)) continue;
        if (line.size() < 4 || line[0] != 'S' || line[1] < '0' || line[1] > '9')
            return refuse(std::move(read), number, "not an S-record");
        const char type = line[1];
        const auto bytes = hexbytes(line.substr(2));
        if (!bytes || bytes->empty() || bytes->size() != 1u + (*bytes)[0])
            return refuse(std::move(read), number, "a bad S-record");
        unsigned sum = 0;
        for (const auto b : *bytes) sum += b;
        if ((sum & 0xFF) != 0xFF) return refuse(std::move(read), number, "a bad checksum");
        const std::size_t addressbytes = type == '2' || type == '8' || type == '6' ? 3 : type == '3' || type == '7' ? 4 : 2;
        if (bytes->size() < 2 + addressbytes) return refuse(std::move(read), number, "a bad S-record");
        std::size_t address = 0;
        for (std::size_t k = 0; k < addressbytes; ++k) address = address * 256 + (*bytes)[1 + k];
        const std::size_t data = 1 + addressbytes, count = bytes->size() - data - 1;
        switch (type) {
            case '0': break;  // the header
            case '1':
            case '2':
            case '3':
                ++datarecords;
                for (std::size_t k = 0; k < count; ++k) {
                    if (address + k >= size) return refuse(std::move(read), number, beyond(size));
                    read.bytes[address + k] = (*bytes)[data + k];
                    read.extent = std::max(read.extent, address + k + 1);
                }
                break;
            case '5':
            case '6':
                if (static_cast<long>(address) != datarecords)
                    return refuse(std::move(read), number,
                                  "the count says " + std::to_string(address) + " data records, the file has " +
                                      std::to_string(datarecords));
                counted = true;
                break;
            case '7':
            case '8':
            case '9': return read;
            default: return refuse(std::move(read), number, std::string("an S-record of unknown type S") + type);
        }
    }
    // Some writers end with the count record alone, which vouches for the
    // data records before it.
    if (counted) return read;
    return refuse(std::move(read), static_cast<long>(lines.size()), "no end record (S7, S8 or S9): is the file cut short?");
}

// A text that programmers write: printable ASCII, tabs and line ends only.
bool text(std::string_view file) {
    for (const char c : file)
        if ((c < 0x20 || c > 0x7E) && c != '\r' && c != '\n' && c != '\t') return false;
    return true;
}

}  // namespace

std::optional<Format> formatof(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos) return std::nullopt;
    const std::string extension = lowered(path.substr(dot + 1));
    if (extension == "bin") return Format::bin;
    if (extension == "hex" || extension == "ihx") return Format::ihex;
    if (extension == "s19" || extension == "s28" || extension == "s37" || extension == "srec" || extension == "mot")
        return Format::srec;
    return std::nullopt;
}

std::optional<Format> formatnamed(std::string_view word) {
    const std::string name = lowered(word);
    if (name == "bin") return Format::bin;
    if (name == "ihex") return Format::ihex;
    if (name == "srec") return Format::srec;
    return std::nullopt;
}

std::string write(const Bytes& bytes, Format format) {
    if (format == Format::bin) return std::string(bytes.begin(), bytes.end());
    std::string out;
    const auto record = [&](const char* start, unsigned count, std::size_t address, unsigned type, const std::uint8_t* data,
                            std::size_t size, bool srec) {
        out += start;
        const auto high = static_cast<unsigned>((address >> 8) & 0xFF), low = static_cast<unsigned>(address & 0xFF);
        unsigned sum = count + high + low + (srec ? 0 : type);
        hexbyte(out, count);
        hexbyte(out, high);
        hexbyte(out, low);
        if (!srec) hexbyte(out, type);
        for (std::size_t k = 0; k < size; ++k) {
            hexbyte(out, data[k]);
            sum += data[k];
        }
        hexbyte(out, srec ? ~sum & 0xFF : (0x100 - (sum & 0xFF)) & 0xFF);
        out += "\r\n";
    };
    constexpr std::size_t perrecord = 16;
    if (format == Format::ihex) {
        for (std::size_t at = 0; at < bytes.size(); at += perrecord) {
            const std::size_t size = std::min(perrecord, bytes.size() - at);
            record(":", static_cast<unsigned>(size), at, 0x00, bytes.data() + at, size, false);
        }
        record(":", 0, 0, 0x01, nullptr, 0, false);
        return out;
    }
    const std::string_view header = "freqcode";
    record("S0", static_cast<unsigned>(header.size() + 3), 0, 0, reinterpret_cast<const std::uint8_t*>(header.data()),
           header.size(), true);
    std::size_t records = 0;
    for (std::size_t at = 0; at < bytes.size(); at += perrecord, ++records) {
        const std::size_t size = std::min(perrecord, bytes.size() - at);
        record("S1", static_cast<unsigned>(size + 3), at, 0, bytes.data() + at, size, true);
    }
    record("S5", 3, records, 0, nullptr, 0, true);
    record("S9", 3, 0, 0, nullptr, 0, true);
    return out;
}

Read read(std::string_view file, std::size_t size, std::uint8_t fill) {
    Read result;
    result.bytes.assign(size, fill);
    const std::size_t start = file.find_first_not_of(" \t\r\n");
    const bool textual = start != std::string_view::npos && text(file);
    if (textual && file[start] == ':') {
        result.format = Format::ihex;
        return readihex(file, std::move(result));
    }
    if (textual && file[start] == 'S' && start + 1 < file.size() && file[start + 1] >= '0' && file[start + 1] <= '9') {
        result.format = Format::srec;
        return readsrec(file, std::move(result));
    }
    result.format = Format::bin;
    if (file.size() != size)
        return refuse(std::move(result), 0,
                      "a binary image of " + std::to_string(file.size()) + " bytes, where the chip has " + std::to_string(size));
    result.bytes.assign(file.begin(), file.end());
    result.extent = size;
    return result;
}

std::uint16_t bytesum(const Bytes& bytes) {
    unsigned sum = 0;
    for (const auto b : bytes) sum += b;
    return static_cast<std::uint16_t>(sum & 0xFFFF);
}

std::uint32_t crc32(const Bytes& bytes) {
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const auto b : bytes) crc = table[(crc ^ b) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

}  // namespace image
