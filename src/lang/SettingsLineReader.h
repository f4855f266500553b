// Reads a file of command lines: a carriage return is dropped wherever it occurs, a line feed
// ends a line and is not kept, and a last line without a line feed counts when it has
// characters. Reads in blocks; a line longer than the capacity is reported and skipped.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace zel {

class SettingsLineReader {
public:
    enum class Result { Line, TooLong, End, Error };

    SettingsLineReader(int fd, size_t capacity) : fd_(fd), capacity_(capacity) {}

    // The next line into `line`. TooLong: the line had more than `capacity` characters; its
    // first `capacity` are in `line` and the rest has been read past. Error: reading failed
    // (errno says why); the lines before were returned.
    Result Next(std::string& line);

private:
    bool Fill();

    int fd_;
    size_t capacity_;
    std::vector<char> buffer_ = std::vector<char>(65536);
    size_t begin_ = 0, end_ = 0;
    bool atEnd_ = false;
    bool failed_ = false;
};

}  // namespace zel
