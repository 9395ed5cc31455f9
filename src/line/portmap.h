#pragma once
// Which device a COM number opens on this computer.
#include <functional>
#include <string>
#include <vector>

// The places tried for COMn, in order: on Windows "COMn"; elsewhere ./comN (a link in the
// working directory, as kmd-sim makes), /dev/ttyUSB<n-1>, /dev/ttyS<n-1>.
std::vector<std::string> PortCandidates(int comPort);

// A serial device the system reports.
struct SerialDevice {
    std::string location; // what opens it: /dev/ttyACM0, COM7
    std::string description, manufacturer, serialNumber;
    bool operator==(const SerialDevice&) const = default;
};

// QSerialPortInfo::availablePorts() by default; tests put adapters in and take them out.
using SerialDeviceLister = std::function<std::vector<SerialDevice>()>;
void SetSerialDeviceLister(SerialDeviceLister lister); // nullptr: the system's list again
std::vector<SerialDevice> ListSerialDevices();

// A device chosen for a COM number: its path, and what tells the adapter again when it comes
// back under another path (empty when unknown: typed on the command line, older settings).
struct ChosenDevice {
    std::string path;
    std::string serialNumber{}, description{};
    bool operator==(const ChosenDevice&) const = default;
};

struct ResolvedPort {
    std::string device; // the chosen device, else the first candidate that exists, else the first
    bool exists = false;
    // The chosen path is gone and the adapter was found again under `device` by its serial number.
    bool foundAgain = false;
    // The chosen path is gone and more than one present adapter has its serial number: none is
    // taken. Nothing is opened while this is set.
    int sameSerial = 0;
};
// What COM number `comPort` opens when `chosen` was chosen for it (empty: the usual mapping).
// `present` is asked for the system's devices only when the chosen path is gone.
ResolvedPort ResolveChosenPort(int comPort, const ChosenDevice& chosen,
                               const SerialDeviceLister& present = ListSerialDevices);
// Whether `path` is there now (always on Windows, where COM names are not files).
bool PathPresent(const std::string& path);
// The same without a chosen device: what the COM number opens by the usual mapping.
ResolvedPort MappedPort(int comPort);
// Why nothing is opened for `chosen` when `resolved.sameSerial` is set.
std::string SameSerialText(const ChosenDevice& chosen, const ResolvedPort& resolved);
