#pragma once
// Which device a COM number opens on this computer.
#include <string>
#include <vector>

// The places tried for COMn, in order: on Windows "COMn"; elsewhere ./comN (a link in the
// working directory, as kmd-sim makes), /dev/ttyUSB<n-1>, /dev/ttyS<n-1>.
std::vector<std::string> PortCandidates(int comPort);

struct ResolvedPort {
    std::string device; // the first candidate that exists, or the first candidate
    bool exists = false;
};
ResolvedPort ResolvePort(int comPort);
