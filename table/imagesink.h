// A channel list's codes burnt into a memory image: the rows' blocks put at
// the addresses their layout gives, written as a file a programmer takes,
// into a new image or into a chip's dump, whose other bytes stay as they are.
// Refuses rather than write a wrong chip: any failed channel, a location that
// is no whole number or lies outside the layout or the chip, or two blocks
// that overlap, and then writes no file.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "image/image.h"
#include "image/layout.h"
#include "table/bytes.h"
#include "table/messages.h"
#include "table/readlist.h"

namespace table {

struct ImageOptions {
    std::string file;
    std::optional<image::Format> format;  // from the file's extension without it
    std::optional<image::Chip> chip;      // the smallest EPROM that holds every block without it
    image::Layout layout;                 // its size from the chip
    std::string into;                     // a chip's dump to change, or empty for a new image
};

// Takes one image or layout option's value ("--chip", "2716"); what is
// wrong with it, or nothing.
std::string setimageoption(ImageOptions& options, std::string_view option, const std::string& value);

// The format of the image file: given, or from its name, or raw binary.
image::Format imageformat(const ImageOptions& options);

class ImageSink : public ListSink {
public:
    explicit ImageSink(ListSink& rows) : rows_(rows) {}
    void start(bool stepcolumn, const std::optional<std::string>& step, char separator) override {
        rows_.start(stepcolumn, step, separator);
    }
    void row(const Row& row) override;
    void named(long line, const std::string& words) override { rows_.named(line, words); }

    // The image once the list is read, or nothing, with err told why: a new
    // one, or dump (a chip's dump file's bytes) with the list's blocks
    // changed.
    std::optional<image::Bytes> build(const ImageOptions& options, const std::string* dump, bool allcomputed,
                                      Sink& err, const Voice& voice = {}) const;

private:
    struct Placed {
        long line;
        std::string location;
        std::optional<calc::CodeSet> rx, tx;
    };
    ListSink& rows_;
    std::vector<Placed> placed_;
};

}  // namespace table

namespace table {

// A chip's dump read back: one row per location of the layout, its codes
// decoded to frequencies as --decode does for a list, to the sink; a blank
// block (all fill) is no side, two blank blocks an unused memory; a block
// that is neither blank nor codes fails with its address. Without a chip,
// a binary dump's size is its chip's, and a text dump's the smallest EPROM
// that holds its data. The list's end, as readlist's.
ListEnd readdump(std::string_view file, const ImageOptions& options, ListSink& sink);

// The layouts a chip's dump fits best, best first (image::findlayouts), or
// none, with problem saying why: the dump cannot be read, or no block of it
// decodes as codes.
std::vector<image::Candidate> findlayouts(std::string_view file, const ImageOptions& options, std::string& problem);

}  // namespace table
