#pragma once
// Lines of a text file as people and other programs write them.
#include <string_view>
#include <vector>

// Lines end in CR LF, LF or CR alike; a last line without an end counts, an end at the very end
// adds no empty line. The views point into `text`.
std::vector<std::string_view> SplitLines(std::string_view text);
