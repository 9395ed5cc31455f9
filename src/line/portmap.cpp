#include "line/portmap.h"

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

ResolvedPort ResolveChosenPort(int comPort, const std::string& chosen) {
    if (chosen.empty()) return MappedPort(comPort);
#ifdef _WIN32
    return {chosen, true};
#else
    std::error_code ec;
    return {chosen, std::filesystem::exists(chosen, ec)};
#endif
}

ResolvedPort MappedPort(int comPort) {
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
