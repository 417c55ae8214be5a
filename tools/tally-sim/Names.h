#pragma once

#include <string>
#include <string_view>

namespace quibo::sim {

// Tally compares master and company names without regard to letter case; every
// lookup in the simulator goes through this key.
std::string foldName(std::string_view utf8);

// Leading and trailing blanks, tabs and line breaks removed.
std::string_view trimmed(std::string_view text);

// ASCII-only case-insensitive comparison, for element texts such as "Import Data".
bool equalsAscii(std::string_view a, std::string_view b);

} // namespace quibo::sim
