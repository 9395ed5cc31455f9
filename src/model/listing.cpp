#include "model/listing.h"

#include "base/numbers.h"
#include "protocol/linecodec.h"

std::vector<std::string> ListingLines(const PrgStore& store, int lingua) {
    const size_t column = ListingDescriptionColumn - 1;
    std::vector<std::string> lines{"PROGRAM'S LIST:", ""};
    for (int p = 0; p < NumPrograms; ++p) {
        lines.push_back("---- PRG. N." + SignedText(p) + " ----");
        for (const std::string& line : store[p]) {
            if (line.empty()) continue;
            std::string description = DecodeCommand(line, lingua);
            if (line.size() <= column) {
                lines.push_back(line + std::string(column - line.size(), ' ') + description);
            } else {
                // A hand-written line too long for the first column: the description goes to
                // column 30 of the next printed line, so the column stays aligned.
                lines.push_back(line);
                lines.push_back(std::string(column, ' ') + description);
            }
        }
        lines.push_back("");
    }
    return lines;
}
