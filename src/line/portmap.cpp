#include "line/portmap.h"

#include <QSerialPortInfo>

#include <filesystem>

namespace {
SerialDeviceLister g_lister;
}

std::vector<std::string> PortCandidates(int comPort) {
    std::string n = std::to_string(comPort);
#ifdef _WIN32
    return {"COM" + n};
#else
    std::string index = std::to_string(comPort - 1);
    return {"./com" + n, "/dev/ttyUSB" + index, "/dev/ttyS" + index};
#endif
}

void SetSerialDeviceLister(SerialDeviceLister lister) {
    g_lister = std::move(lister);
}

std::vector<SerialDevice> ListSerialDevices() {
    if (g_lister) return g_lister();
    std::vector<SerialDevice> out;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        out.push_back({info.systemLocation().toStdString(), info.description().toStdString(),
                       info.manufacturer().toStdString(), info.serialNumber().toStdString()});
    return out;
}

ResolvedPort ResolveChosenPort(int comPort, const ChosenDevice& chosen, const SerialDeviceLister& present) {
    if (chosen.path.empty()) return MappedPort(comPort);
#ifdef _WIN32
    (void)present;
    return {chosen.path, true};
#else
    ResolvedPort resolved{chosen.path, PathPresent(chosen.path)};
    if (resolved.exists || chosen.serialNumber.empty() || !present) return resolved;
    // A USB adapter plugged back often comes under another path (the old one may still be held).
    std::vector<std::string> found;
    for (const SerialDevice& d : present())
        if (d.serialNumber == chosen.serialNumber && d.location != chosen.path) found.push_back(d.location);
    if (found.size() == 1) return {found.front(), true, true};
    if (found.size() > 1) resolved.sameSerial = static_cast<int>(found.size());
    return resolved;
#endif
}

bool PathPresent(const std::string& path) {
#ifdef _WIN32
    (void)path;
    return true;
#else
    std::error_code ec;
    return std::filesystem::exists(path, ec);
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

std::string SameSerialText(const ChosenDevice& chosen, const ResolvedPort& resolved) {
    return std::to_string(resolved.sameSerial) + " adapters have the serial number " + chosen.serialNumber +
           ": unplug all but one or choose the device in the serial settings";
}
