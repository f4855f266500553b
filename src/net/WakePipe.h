// WakePipe: a self-pipe that another thread signals to wake a poll at once. It stays
// readable until drained.
#pragma once

#include <fcntl.h>
#include <unistd.h>

namespace zel {

class WakePipe {
public:
    WakePipe()
    {
        if (pipe2(fds_, O_CLOEXEC | O_NONBLOCK) != 0) fds_[0] = fds_[1] = -1;
    }
    ~WakePipe()
    {
        for (int fd : fds_)
            if (fd >= 0) close(fd);
    }
    WakePipe(const WakePipe&) = delete;
    WakePipe& operator=(const WakePipe&) = delete;

    bool Valid() const { return fds_[0] >= 0; }
    // The end to poll for POLLIN; it stays readable once signalled.
    int ReadFd() const { return fds_[0]; }
    void Signal()
    {
        const char byte = 1;
        [[maybe_unused]] ssize_t n = write(fds_[1], &byte, 1);
    }
    // Empties the pipe, so that the next poll waits for the next Signal.
    void Drain()
    {
        char bytes[64];
        while (read(fds_[0], bytes, sizeof bytes) > 0) {
        }
    }

private:
    int fds_[2];
};

}  // namespace zel
