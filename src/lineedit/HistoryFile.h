// HistoryFile: the command history on disk, "history.zel" in the working folder. Lines are
// appended with CR LF as they are recorded, so the file keeps growing; at start the newest
// lines are loaded. Loading reads only the file's tail (at most kMaxLoadBytes), so a huge
// or binary file costs a bounded read; a line longer than kLinePiece bytes loads as
// several pieces, pieces holding a NUL byte (binary data) are skipped. A file that cannot
// be opened, or is not a regular file, leaves the history without a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zel {

constexpr const char* kHistoryFileName = "history.zel";

class HistoryFile {
public:
    static constexpr size_t kLinePiece = 16384;
    static constexpr uint64_t kMaxLoadBytes = 32u << 20;

    HistoryFile() = default;
    ~HistoryFile();
    HistoryFile(const HistoryFile&) = delete;
    HistoryFile& operator=(const HistoryFile&) = delete;

    // Opens the file for reading and appending, creating it when missing (read-only when it
    // cannot be written), and returns its newest `count` lines, oldest first, in the engine's
    // form as they were written. Empty when it cannot be opened.
    std::vector<std::string> Open(const std::string& path, size_t count);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }
    bool Writable() const { return writable_; }
    // Appends the line and CR LF. False when the file is not writable or the write failed
    // (after a failure no more is written).
    bool Append(std::string_view line);
    // Bytes the last Open read from the file.
    uint64_t BytesRead() const { return bytesRead_; }

private:
    int fd_ = -1;
    bool writable_ = false;
    uint64_t bytesRead_ = 0;
};

}  // namespace zel
