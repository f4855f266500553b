// The one-line answer of a command or feature whose subsystem is not built yet.
#pragma once

#include <string_view>

namespace zel {

class ClientWindow;
void ReportNotAvailable(ClientWindow& client, std::string_view what);

}  // namespace zel
