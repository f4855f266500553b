// Sessions: named server addresses with optional logon data. Guarded by DefinitionLock.
#pragma once

#include <cstdint>
#include <string>

#include "definitions/DefinitionTable.h"

namespace zel {

struct Session {
    std::string host;
    int32_t port = 0;
    std::string logonName;
    std::string logonNameTrigger;
    std::string password;  // held as given; never listed
    std::string passwordTrigger;
    // The server's character set, made the client's when the session starts; empty keeps
    // the client's. Given as "encoding=<name>" right after the port.
    std::string encoding;

    // Logon is armed only with all four logon fields.
    bool HasLogon() const
    {
        return !logonName.empty() && !logonNameTrigger.empty() && !password.empty() &&
               !passwordTrigger.empty();
    }
};

using SessionTable = DefinitionTable<Session>;

}  // namespace zel
