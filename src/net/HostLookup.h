// HostLookup: the name lookup of a connection attempt, which the user may abandon.
#pragma once

#include <cstdint>
#include <string>

namespace zel {

// Resolves `host` to an IPv4 address in host byte order: by name first, then read as a
// dotted address. Returns 0, or the lookup's error code (a getaddrinfo code, or ECANCELED
// once `wakeFd` becomes readable; the lookup then finishes unobserved on its own thread).
int LookupHost(const std::string& host, int wakeFd, uint32_t& address);

}  // namespace zel
