#include "lineedit/HistoryFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <deque>

namespace zel {
namespace {

constexpr size_t kChunk = 65536;

// Splits the bytes read into lines and pieces of at most kLinePiece bytes, keeping only the
// newest `count`.
class TailReader {
public:
    TailReader(size_t count, bool skipFirstLine) : count_(count), skipping_(skipFirstLine) {}

    void Feed(std::string_view bytes)
    {
        while (!bytes.empty()) {
            const size_t end = bytes.find('\n');
            const std::string_view part = bytes.substr(0, end);
            if (!skipping_) Append(part);
            if (end == std::string_view::npos) break;
            if (!skipping_) EndLine();
            skipping_ = false;
            bytes.remove_prefix(end + 1);
        }
    }
    std::vector<std::string> Finish()
    {
        EndLine();
        return {std::make_move_iterator(lines_.begin()), std::make_move_iterator(lines_.end())};
    }

private:
    void Append(std::string_view part)
    {
        while (!part.empty()) {
            const size_t room = HistoryFile::kLinePiece - piece_.size();
            piece_.append(part.substr(0, room));
            part.remove_prefix(std::min(room, part.size()));
            if (piece_.size() == HistoryFile::kLinePiece) Keep();
        }
    }
    void EndLine()
    {
        if (!piece_.empty() && piece_.back() == '\r') piece_.pop_back();
        Keep();
    }
    // Empty pieces and pieces of binary data are dropped.
    void Keep()
    {
        if (!piece_.empty() && piece_.find('\0') == std::string::npos) {
            lines_.push_back(std::move(piece_));
            if (lines_.size() > count_) lines_.pop_front();
        }
        piece_.clear();
    }

    size_t count_;
    bool skipping_;
    std::string piece_;
    std::deque<std::string> lines_;
};

int OpenRegular(const std::string& path, int flags)
{
    const int fd = open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0644);
    if (fd < 0) return -1;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

HistoryFile::~HistoryFile()
{
    Close();
}

void HistoryFile::Close()
{
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    writable_ = false;
}

std::vector<std::string> HistoryFile::Open(const std::string& path, size_t count)
{
    Close();
    bytesRead_ = 0;
    fd_ = OpenRegular(path, O_RDWR | O_CREAT | O_APPEND);
    writable_ = fd_ >= 0;
    if (fd_ < 0) fd_ = OpenRegular(path, O_RDONLY);
    struct stat st {};
    if (fd_ < 0 || count == 0 || fstat(fd_, &st) != 0) return {};

    // The newest `count` pieces lie within the last count * (piece + CR LF) bytes.
    const uint64_t size = uint64_t(st.st_size);
    const uint64_t window = std::min<uint64_t>(
        kMaxLoadBytes, uint64_t(std::min<size_t>(count, kMaxLoadBytes)) * (kLinePiece + 2));
    uint64_t at = size > window ? size - window : 0;
    // Reading from the byte before tells whether the window starts a line.
    if (at > 0) --at;
    TailReader reader(count, at > 0);
    std::string chunk(kChunk, '\0');
    while (at < size) {
        const ssize_t n =
            pread(fd_, chunk.data(), size_t(std::min<uint64_t>(kChunk, size - at)), off_t(at));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        bytesRead_ += uint64_t(n);
        at += uint64_t(n);
        reader.Feed(std::string_view(chunk.data(), size_t(n)));
    }
    return reader.Finish();
}

bool HistoryFile::Append(std::string_view line)
{
    if (fd_ < 0 || !writable_) return false;
    std::string data(line);
    data += "\r\n";
    std::string_view rest = data;
    while (!rest.empty()) {
        const ssize_t n = write(fd_, rest.data(), rest.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            writable_ = false;
            return false;
        }
        rest.remove_prefix(size_t(n));
    }
    return true;
}

}  // namespace zel
