// Writes a file so that a reader never finds it half written: the data goes to a new file in
// the same folder, which then takes the old one's place in one rename.
#pragma once

#include <string>
#include <string_view>

namespace zel {

// Replaces the file at `path` (or creates it) with `data`. A symbolic link is kept and its
// target replaced; an existing file's permissions are kept, and one that may not be written
// is not replaced. On failure the old file is
// untouched, no temporary file is left, and errno says why.
bool ReplaceFile(const std::string& path, std::string_view data);

}  // namespace zel
