#pragma once
// Which device a COM number opens on this computer.
#include <string>
#include <vector>

// The places tried for COMn, in order: on Windows "COMn"; elsewhere ./comN (a link in the
// working directory, as kmd-sim makes), /dev/ttyUSB<n-1>, /dev/ttyS<n-1>.
std::vector<std::string> PortCandidates(int comPort);

struct ResolvedPort {
    std::string device; // the chosen device, else the first candidate that exists, else the first
    bool exists = false;
};
// What COM number `comPort` opens when `chosen` was chosen for it (empty: the usual mapping).
ResolvedPort ResolveChosenPort(int comPort, const std::string& chosen);
// The same without a chosen device: what the COM number opens by the usual mapping.
ResolvedPort MappedPort(int comPort);
