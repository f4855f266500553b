// The function table: functions callable in command lines as $@name(arguments).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace zel {

class ClientWindow;

// Writes its result into `result`; returns 0 when the result is to be inserted.
using FunctionHandler = int32_t (*)(ClientWindow& client, std::string_view name,
                                    std::string_view arguments, std::string& result);

struct FunctionEntry {
    FunctionHandler handler = nullptr;
    std::string_view syntax;
    std::string_view description;
};

class FunctionTable {
public:
    using Map = std::map<std::string, FunctionEntry, std::less<>>;
    FunctionTable();
    const FunctionEntry* Find(std::string_view name) const;
    const Map& Entries() const { return entries_; }

private:
    Map entries_;
};

}  // namespace zel
