#include "table/messages.h"

#include <cstring>
#include <vector>

#include "table/encoding.h"

namespace table {
namespace {

// "1 comment line", "12 unused memories".
std::string counted(long count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// The lines a list skipped by design, in words: "skipped 3 comment lines and
// 12 unused memories", or empty when it skipped none.
std::string skippedwords(const Summary& summary) {
    std::vector<std::string> parts;
    if (summary.comments > 0) parts.push_back(counted(summary.comments, "comment line", "comment lines"));
    if (summary.blanks > 0) parts.push_back(counted(summary.blanks, "blank line", "blank lines"));
    if (summary.unused > 0)
        parts.push_back(summary.decoding ? counted(summary.unused, "row without codes", "rows without codes")
                                         : counted(summary.unused, "unused memory", "unused memories"));
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i)
        text += (i == 0 ? "skipped " : i + 1 == parts.size() ? " and " : ", ") + parts[i];
    return text;
}

}  // namespace

std::string spoken(std::string words, const Voice& voice) {
    for (const auto& [option, name] : voice.options)
        for (std::size_t at = 0; (at = words.find(option, at)) != std::string::npos; at += name.size())
            words.replace(at, option.size(), name);
    return words;
}

void say(Sink& err, const std::string& words, const Voice& voice) {
    // Messages quote the user's lists and arguments: no control character
    // of theirs reaches the terminal.
    err.write((voice.program.empty() ? std::string() : voice.program + ": ") + terminaltext(spoken(words, voice)) + "\n");
}

void ListMessages::start(bool stepcolumn, const std::optional<std::string>& step, char separator) {
    const bool given = step && *step != autostep;
    if (!stepcolumn)
        say(err_,
            source_ + " has no step column: " +
                (given ? "every channel takes " + std::string(voice_.commandline() ? "--step " : "the step ") + stepwords(*step)
                       : std::string("each channel takes the coarsest of the five steps that fits it") +
                             (voice_.commandline() ? " (--step auto)" : "")),
            voice_);
    rows_.start(stepcolumn, step, separator);
}

void ListMessages::named(long line, const std::string& words) {
    if (++messages_ <= most_ || most_ == 0)
        say(err_, source_ + ": " + unit_ + " " + std::to_string(line) + ": " + words, voice_);
}

int ListMessages::finish(const ListEnd& end) {
    switch (end.kind) {
        case ListEnd::Kind::empty:
            say(err_, source_ + " is empty; a channel list starts with a header row", voice_);
            return 1;
        case ListEnd::Kind::badheader:
            say(err_, source_ + (end.line > 0 ? ": line " + std::to_string(end.line) : std::string()) + ": " + end.problem, voice_);
            return 1;
        case ListEnd::Kind::readerror:
            say(err_, "cannot read " + source_ + ": " + std::strerror(end.error), voice_);
            return 1;
        case ListEnd::Kind::read:
            break;
    }
    const Summary& summary = end.summary;
    if (most_ > 0 && messages_ > most_) say(err_, std::to_string(messages_ - most_) + " more lines not shown", voice_);
    if (const std::string words = skippedwords(summary); !words.empty()) say(err_, words, voice_);
    if (summary.commented > 0)
        say(err_, counted(summary.commented, "comment line holds", "comment lines hold") + " a channel", voice_);
    if (summary.failed > 0)
        say(err_, std::to_string(summary.failed) + " of " + std::to_string(summary.channels) + " channels failed", voice_);
    return summary.allcomputed() ? 0 : 1;
}

}  // namespace table
