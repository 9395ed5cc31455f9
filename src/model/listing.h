#pragma once
// The printed listing of all programs, as plain text lines.
#include "model/prgstore.h"

#include <string>
#include <vector>

// Column (counted from 1) where a line's description starts.
inline constexpr int ListingDescriptionColumn = 30;

// Title, an empty line, then per program its heading, one line per program line (hex text, the
// description from column 30 in the current language) and an empty line.
std::vector<std::string> ListingLines(const PrgStore& store, int lingua);
