// Where a list's bytes come from, and where text goes: a file or memory,
// read and written in pieces, so that the list library needs no FILE* of
// its own and runs the same on every system and in a web page.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>
#include <utility>

namespace table {

class Source {
public:
    virtual ~Source() = default;
    // Up to size bytes into data; 0 at the end of the input or on a read
    // error (error()).
    virtual std::size_t read(char* data, std::size_t size) = 0;
    // The read error that ended the input (an errno value), or 0.
    virtual int error() const { return 0; }
};

// An open file, read from where it stands; the caller closes it.
class FileSource : public Source {
public:
    explicit FileSource(std::FILE* file) : file_(file) {}
    std::size_t read(char* data, std::size_t size) override;
    int error() const override { return error_; }

private:
    std::FILE* file_;
    int error_ = 0;
};

// Bytes the caller holds, for as long as the source is read.
class MemorySource : public Source {
public:
    explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
    std::size_t read(char* data, std::size_t size) override;

private:
    std::string_view bytes_;
};

class Sink {
public:
    virtual ~Sink() = default;
    // False once the text could not be written (a full disk, a closed pipe).
    virtual bool write(std::string_view text) = 0;
};

// An open file; the caller closes it.
class FileSink : public Sink {
public:
    explicit FileSink(std::FILE* file) : file_(file) {}
    bool write(std::string_view text) override;

private:
    std::FILE* file_;
};

// Text kept in memory.
class StringSink : public Sink {
public:
    bool write(std::string_view text) override {
        text_.append(text);
        return true;
    }
    const std::string& text() const { return text_; }
    // The text, handed over: the sink is empty after.
    std::string take() { return std::move(text_); }

private:
    std::string text_;
};

}  // namespace table
