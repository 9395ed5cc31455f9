#include "link/portmap.h"

#include <filesystem>

std::vector<std::string> PortCandidates(int comPort) {
    std::string n = std::to_string(comPort);
#ifdef _WIN32
    return {"COM" + n};
#else
    std::string index = std::to_string(comPort - 1);
    return {"./com" + n, "/dev/ttyUSB" + index, "/dev/ttyS" + index};
#endif
}

ResolvedPort ResolvePort(int comPort) {
    std::vector<std::string> candidates = PortCandidates(comPort);
#ifdef _WIN32
    return {candidates.front(), true};
#else
    for (const std::string& c : candidates) {
        std::error_code ec;
        if (comPort >= 1 && std::filesystem::exists(c, ec)) return {c, true};
    }
    return {candidates.front(), false};
#endif
}
