#include "lang/SettingsLineReader.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace zel {

bool SettingsLineReader::Fill()
{
    if (atEnd_) return false;
    for (;;) {
        const ssize_t n = read(fd_, buffer_.data(), buffer_.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            atEnd_ = true;
            failed_ = n < 0;
            return false;
        }
        begin_ = 0;
        end_ = size_t(n);
        return true;
    }
}

SettingsLineReader::Result SettingsLineReader::Next(std::string& line)
{
    line.clear();
    bool tooLong = false;
    bool any = false;  // a byte of this line was read, even a dropped carriage return
    for (;;) {
        if (begin_ == end_ && !Fill()) break;
        any = true;
        const char* start = buffer_.data() + begin_;
        const size_t available = end_ - begin_;
        const char* feed = static_cast<const char*>(std::memchr(start, '\n', available));
        const size_t length = feed ? size_t(feed - start) : available;
        for (size_t i = 0; i < length; ++i) {
            if (start[i] == '\r') continue;
            if (line.size() < capacity_) {
                line += start[i];
            } else {
                tooLong = true;
            }
        }
        begin_ += length;
        if (feed) {
            ++begin_;
            return tooLong ? Result::TooLong : Result::Line;
        }
    }
    if (failed_) return Result::Error;
    if (tooLong) return Result::TooLong;
    // A last line without a line feed: returned when it has characters.
    return any && !line.empty() ? Result::Line : Result::End;
}

}  // namespace zel
