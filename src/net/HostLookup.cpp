#include "net/HostLookup.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>

#include <atomic>
#include <cerrno>
#include <memory>
#include <thread>

#include "net/WakePipe.h"

namespace zel {
namespace {

// Shared by the waiting thread and the lookup thread; the last owner frees it.
struct Lookup {
    std::string host;
    std::atomic<int> result{0};
    std::atomic<uint32_t> address{0};
    WakePipe done;
};

void Resolve(Lookup& lookup)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    int result = getaddrinfo(lookup.host.c_str(), nullptr, &hints, &found);
    uint32_t address = INADDR_NONE;
    if (result == 0 && found) {
        address = ntohl(reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
    } else if (in_addr dotted{}; inet_aton(lookup.host.c_str(), &dotted)) {
        address = ntohl(dotted.s_addr);
        result = 0;
    }
    if (found) freeaddrinfo(found);
    if (result == 0 && address == INADDR_NONE) result = EAI_NONAME;
    lookup.address = address;
    lookup.result = result;
}

}  // namespace

int LookupHost(const std::string& host, int wakeFd, uint32_t& address)
{
    auto lookup = std::make_shared<Lookup>();
    lookup->host = host;
    try {
        std::thread([lookup] {
            Resolve(*lookup);
            lookup->done.Signal();
        }).detach();
    } catch (const std::system_error&) {
        Resolve(*lookup);  // no thread to spare: look up here, without abandoning
        lookup->done.Signal();
    }
    for (;;) {
        pollfd fds[2] = {{lookup->done.ReadFd(), POLLIN, 0}, {wakeFd, POLLIN, 0}};
        const int n = poll(fds, wakeFd >= 0 ? 2 : 1, -1);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 || fds[1].revents) return ECANCELED;
        if (fds[0].revents) break;
    }
    address = lookup->address;
    return lookup->result;
}

}  // namespace zel
