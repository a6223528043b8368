#include "table/imagesink.h"

#include <algorithm>
#include <charconv>
#include <tuple>

#include "calc/decode.h"
#include "table/decimal.h"
#include "table/messages.h"

namespace table {
namespace {

std::string hex(std::size_t value, int digits) {
    std::string text;
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) text += calc::hexdigits[(value >> shift) & 0xF];
    return "0x" + text;
}

}  // namespace

void ImageSink::row(const Row& row) {
    rows_.row(row);
    const auto codes = [](const Side& side) -> std::optional<calc::CodeSet> {
        if (side.khz.empty() || side.result.outcome != calc::Outcome::codes) return std::nullopt;
        return side.result.codes;
    };
    placed_.push_back({row.line, std::string(trim(row.channel.location)), codes(row.channel.rx), codes(row.channel.tx)});
}

std::optional<image::Bytes> ImageSink::build(const ImageOptions& options, const std::string* dump, bool allcomputed,
                                             Sink& err, const Voice& voice) const {
    const auto refuse = [&](const std::string& words) -> std::optional<image::Bytes> {
        say(err, words, voice);
        say(err, "no image written", voice);
        return std::nullopt;
    };
    if (!allcomputed) return refuse(options.file + ": not every channel was computed, and a chip must hold them all");
    // Every cause is named before the image is refused.
    long causes = 0;
    const auto cause = [&](const std::string& words) {
        say(err, words, voice);
        ++causes;
    };

    // Each location a whole number, each block inside the layout.
    image::Layout layout = options.layout;
    std::vector<long> locations;  // -1 where there is none
    std::size_t needed = 0;
    for (const Placed& p : placed_) {
        long location = 0;
        const auto [end, error] = std::from_chars(p.location.data(), p.location.data() + p.location.size(), location);
        locations.push_back(-1);
        if (p.location.empty() || error != std::errc() || end != p.location.data() + p.location.size() || location < 0) {
            cause("line " + std::to_string(p.line) + ": location '" + p.location + "' is not a whole number");
            continue;
        }
        if (location < layout.first || (layout.channels && location - layout.first >= *layout.channels)) {
            cause("line " + std::to_string(p.line) + ": location " + std::to_string(location) +
                  " is outside the layout's locations");
            continue;
        }
        locations.back() = location;
        const std::size_t last = std::max(p.rx ? layout.rxat : 0, p.tx ? layout.txat : 0) + image::blocksize +
                                 static_cast<std::size_t>(location - layout.first) * layout.stride;
        needed = std::max(needed, last);
    }
    // The chip: the dump's, the one given, or the smallest that holds it all.
    image::Bytes bytes;
    if (dump) {
        image::Read read = image::readchip(*dump, options.chip, layout.fill);
        if (!read.problem.empty())
            return refuse(options.into + (read.line > 0 ? ": line " + std::to_string(read.line) : std::string()) + ": " +
                          read.problem);
        bytes = std::move(read.bytes);
    } else {
        std::optional<image::Chip> chip = options.chip;
        if (!chip) {
            chip = image::smallestfor(needed);
            if (!chip) return refuse("the blocks need " + std::to_string(needed) + " bytes, more than a 27512 holds");
            say(err, "the image is a " + std::string(chip->name) + " (" + std::to_string(chip->size) +
                         " bytes), the smallest EPROM that holds every block; --chip chooses another", voice);
        }
        bytes.assign(chip->size, layout.fill);
    }
    layout.size = bytes.size();
    const image::Bytes before = bytes;

    std::vector<long> owner(layout.size, 0);  // the line whose block holds each byte
    for (std::size_t i = 0; i < placed_.size(); ++i) {
        const Placed& p = placed_[i];
        if (locations[i] < 0) continue;
        for (auto [codes, transmit, label] : {std::tuple{&p.rx, false, "rx"}, std::tuple{&p.tx, true, "tx"}}) {
            // A receive-only channel's transmit block is fill: in a new image
            // as it is, in a dump made so.
            if (!*codes && !dump) continue;
            const auto at = layout.block(locations[i], transmit);
            const std::string where = "line " + std::to_string(p.line) + ": location " + std::to_string(locations[i]) + "'s " +
                                      label + " block";
            if (!at) {
                cause(where + " lies outside the " + std::to_string(layout.size) + "-byte chip");
                continue;
            }
            const auto taken = std::find_if(owner.begin() + static_cast<std::ptrdiff_t>(*at),
                                            owner.begin() + static_cast<std::ptrdiff_t>(*at + image::blocksize),
                                            [](long line) { return line != 0; });
            if (taken != owner.begin() + static_cast<std::ptrdiff_t>(*at + image::blocksize)) {
                cause(where + " at " + hex(*at, 4) + " overlaps a block of line " + std::to_string(*taken));
                continue;
            }
            std::fill(owner.begin() + static_cast<std::ptrdiff_t>(*at),
                      owner.begin() + static_cast<std::ptrdiff_t>(*at + image::blocksize), p.line);
            if (dump && !image::blank(bytes, *at, layout.fill)) {
                // What the dump holds there must be codes too, or the layout
                // does not fit this chip.
                const calc::CodeSet old = image::codesat(bytes, *at);
                const auto decoded = calc::decodecodes(transmit ? calc::Direction::transmit : calc::Direction::receive,
                                                       old.acode, old.bcode, old.rcode);
                if (!decoded.problem.empty()) {
                    cause(options.into + ": the " + label + " block at " + hex(*at, 4) + " for location " +
                          std::to_string(locations[i]) + " is neither blank nor codes (" + decoded.problem +
                          "): does the layout fit this chip, or does that block hold other data?");
                    continue;
                }
            }
            if (!*codes) {
                std::fill(bytes.begin() + static_cast<std::ptrdiff_t>(*at),
                          bytes.begin() + static_cast<std::ptrdiff_t>(*at + image::blocksize), layout.fill);
            } else if (!dump) {
                image::putcodes(bytes, *at, **codes, layout.highnibble);
            } else {
                image::putcodes(bytes, *at, **codes, 0);  // the high nibbles stay as the dump has them
                for (std::size_t k = *at; k < *at + image::blocksize; ++k)
                    bytes[k] = static_cast<std::uint8_t>((before[k] & 0xF0) | (bytes[k] & 0x0F));
            }
        }
    }
    if (causes > 0) {
        say(err, "no image written", voice);
        return std::nullopt;
    }
    if (dump) {
        long changed = 0, raised = 0;
        for (std::size_t k = 0; k < bytes.size(); ++k) {
            changed += bytes[k] != before[k];
            raised += (bytes[k] & ~before[k]) != 0;  // a bit from 0 to 1
        }
        say(err, std::to_string(changed) + " bytes changed; byte sum " + hex(image::bytesum(before), 4) + " before, " +
                     hex(image::bytesum(bytes), 4) + " after; CRC-32 " + hex(image::crc32(before), 8) + " before, " +
                     hex(image::crc32(bytes), 8) + " after", voice);
        if (raised > 0)
            say(err, "warning: " + std::to_string(raised) +
                         " changed bytes need a bit from 0 to 1, which burning cannot do: erase the chip first", voice);
    }

    say(err, "the image holds " + std::to_string(placed_.size()) + " channels in " + std::to_string(layout.size) +
                 " bytes, byte sum " + hex(image::bytesum(bytes), 4) + ", CRC-32 " + hex(image::crc32(bytes), 8), voice);
    return bytes;
}

namespace {

// A whole number, decimal or with 0x hexadecimal (always hexadecimal where
// hex, as a byte is written).
std::optional<long> parsenumber(std::string_view text, bool hex = false) {
    int base = hex ? 16 : 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.remove_prefix(2), base = 16;
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
    return value;
}

}  // namespace

std::string setimageoption(ImageOptions& image, std::string_view arg, const std::string& value) {
    const std::string said = std::string(arg) + " " + value;
    auto& layout = image.layout;
    if (arg == "--image" || arg == "--into") {
        (arg == "--image" ? image.file : image.into) = value;
        return "";
    }
    if (arg == "--image-format") {
        image.format = image::formatnamed(value);
        return image.format ? "" : said + ": give bin, ihex or srec";
    }
    if (arg == "--chip") {
        image.chip = image::chipnamed(value);
        return image.chip ? "" : said + ": give 2708 to 27512, 74S287, 82S129, 82S131, 82S137 or a size up to 64K";
    }
    if (arg == "--high-nibble") {
        if (value != "F" && value != "f" && value != "0") return said + ": give F or 0";
        layout.highnibble = value == "0" ? 0 : 0xF;
        return "";
    }
    const auto number = parsenumber(value, arg == "--fill");
    if (!number) return said + " is not a whole number";
    if (arg == "--fill") {
        if (*number > 0xFF) return said + " is not a byte";
        layout.fill = static_cast<std::uint8_t>(*number);
    } else if (arg == "--rx-at" || arg == "--tx-at" || arg == "--stride") {
        if (*number > 65535) return said + " is beyond a 64 KiB chip";
        (arg == "--rx-at" ? layout.rxat : arg == "--tx-at" ? layout.txat : layout.stride) = static_cast<std::size_t>(*number);
    } else if (arg == "--first") {
        layout.first = *number;
    } else {
        if (*number == 0) return said + ": a layout holds at least one location";
        layout.channels = *number;
    }
    return "";
}


image::Format imageformat(const ImageOptions& options) {
    return options.format ? *options.format : image::formatof(options.file).value_or(image::Format::bin);
}

}  // namespace table

namespace table {

ListEnd readdump(std::string_view file, const ImageOptions& options, ListSink& sink) {
    ListEnd end;
    end.summary.decoding = true;
    image::Layout layout = options.layout;
    const auto bad = [&](long line, std::string problem) {
        end.kind = ListEnd::Kind::badheader;
        end.line = line;
        end.problem = std::move(problem);
        return end;
    };
    const image::Read read = image::readchip(file, options.chip, layout.fill);
    if (!read.problem.empty()) return bad(read.line, read.problem);
    layout.size = read.bytes.size();
    sink.start(true, std::nullopt, ',');
    for (long location = layout.first; location - layout.first < layout.count(); ++location) {
        Row row;
        row.channel.location = std::to_string(location);
        std::optional<std::size_t> at[2] = {layout.block(location, false), layout.block(location, true)};
        calc::CodeSet codes[2];
        std::optional<Codes> sides[2];
        for (int t = 0; t < 2; ++t) {
            if (!at[t] || image::blank(read.bytes, *at[t], layout.fill)) continue;
            codes[t] = image::codesat(read.bytes, *at[t]);
            sides[t] = Codes{codes[t].acode, codes[t].bcode, codes[t].rcode};
        }
        if (!sides[0] && !sides[1]) {
            ++end.summary.unused;
            continue;
        }
        fromcodes(row.channel, sides[0], sides[1]);
        if (!row.channel.problem.empty()) {
            const int t = sides[0] && row.channel.problem.starts_with("rx") ? 0 : 1;
            row.channel.problem = (t == 0 ? "rx" : "tx") + std::string(" block at ") + hex(at[t].value_or(0), 4) + ": " +
                                  row.channel.problem;
        }
        compute(row.channel);
        row.status = status(row.channel);
        sink.row(row);
        ++end.summary.channels;
        if (!row.status.computed()) {
            ++end.summary.failed;
            sink.named(location, row.status.words);
        }
    }
    return end;
}

}  // namespace table

namespace table {

std::vector<image::Candidate> findlayouts(std::string_view file, const ImageOptions& options, std::string& problem) {
    const image::Read chip = image::readchip(file, options.chip, options.layout.fill);
    if (!chip.problem.empty()) {
        problem = (chip.line > 0 ? "line " + std::to_string(chip.line) + ": " : std::string()) + chip.problem;
        return {};
    }
    auto found = image::findlayouts(chip.bytes, options.layout.fill, 5);
    if (found.empty()) problem = "no block decodes as codes under any layout tried";
    return found;
}

}  // namespace table
