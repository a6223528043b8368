#include "table/beside.h"

#include <cerrno>
#include <cstring>
#include <memory>

#include "table/files.h"
#include "table/messages.h"
#include "table/readlist.h"
#include "table/writer.h"

namespace table {

const char* const besideusage =
    "freqcode-table writes the synthesizer codes of a channel list: drop a list (CSV) on freqcode-table.exe or its "
    "shortcut, or choose \"Send to\" > \"freqcode codes\" on the list, and its codes go to a new file beside it.\n"
    "For one channel, or for more choices, run it from a command prompt: freqcode-table --help.\n";

std::string codesname(const std::string& list, int n) {
    // The extension goes, if the last part of the path has one.
    const std::size_t slash = list.find_last_of("/\\");
    const std::size_t dot = list.rfind('.');
    const bool extension = dot != std::string::npos && dot > 0 && (slash == std::string::npos || dot > slash + 1);
    std::string name = extension ? list.substr(0, dot) : list;
    name += "-codes";
    if (n > 1) name += " (" + std::to_string(n) + ")";
    return name + ".csv";
}

namespace {

// The drop window has no command line: its messages name no option, and
// each carries the program's name.
const Voice dropvoice{"freqcode-table", {{"--step", "the step"}}};

// A list's rows in a new file beside it, made when the first row comes: a
// file that gives no rows leaves no file behind. The file is for a person
// to open, in the list's own separator and decimal mark.
class BesideSink : public ListSink {
public:
    BesideSink(const std::string& list, Sink& err) : list_(list), err_(err) {}
    ~BesideSink() override {
        writer_.reset();
        if (file_) std::fclose(file_);
    }

    void start(bool stepcolumn, const std::optional<std::string>& step, char separator) override {
        stepcolumn_ = stepcolumn;
        step_ = step;
        separator_ = separator;
    }
    void row(const Row& row) override {
        if (!writer_ && !failed_) open();
        if (writer_) writer_->row(row);
    }

    // Whether a file was made and all of it written; says so.
    bool close(bool allcomputed) {
        if (!writer_) {
            if (!failed_) say(err_, list_ + ": no codes file written, as it gave no channels", dropvoice);
            return false;
        }
        const bool written = writer_->finish();
        writer_.reset();
        out_.reset();
        const bool closed = std::fclose(file_) == 0 && written;
        file_ = nullptr;
        if (!closed) say(err_, list_ + ": cannot write " + target_, dropvoice);
        else say(err_, "wrote " + target_ + (allcomputed ? "" : "; each channel that failed says why in its status column"), dropvoice);
        return closed;
    }

private:
    void open() {
        for (int n = 1; !file_ && n < 1000; ++n) {
            target_ = codesname(list_, n);
            file_ = createutf8(target_);
            if (!file_ && errno != EEXIST) break;
        }
        if (!file_) {
            say(err_, list_ + ": cannot write " + target_ + ": " + std::strerror(errno), dropvoice);
            failed_ = true;
            return;
        }
        out_ = std::make_unique<FileSink>(file_);
        writer_ = std::make_unique<ListWriter>(*out_, Writer::Form::csv, true);
        writer_->start(stepcolumn_, step_, separator_);
    }

    const std::string& list_;
    Sink& err_;
    bool stepcolumn_ = false;
    std::optional<std::string> step_;
    char separator_ = ',';
    std::string target_;
    std::FILE* file_ = nullptr;
    std::unique_ptr<FileSink> out_;
    std::unique_ptr<ListWriter> writer_;
    bool failed_ = false;
};

}  // namespace

int codesbeside(const std::vector<std::string>& lists, const Streams& streams) {
    FileSink err(streams.err);
    int status = 0;
    for (const std::string& list : lists) {
        std::FILE* in = openutf8(list, "rb");
        if (!in) {
            say(err, list + ": cannot open it: " + std::strerror(errno), dropvoice);
            status = 1;
            continue;
        }
        FileSource source(in);
        BesideSink rows(list, err);
        ListMessages messages(err, list, rows, "line", dropvoice);
        const ListEnd end = readlist(source, {std::nullopt, false}, messages);
        std::fclose(in);
        const int listed = messages.finish(end);
        const bool written = rows.close(listed == 0);
        status = status != 0 || listed != 0 || !written ? 1 : 0;
    }
    return status;
}

}  // namespace table
