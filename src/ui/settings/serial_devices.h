#pragma once
// The serial devices the system reports, for choosing one per COM number.
#include <QString>
#include <functional>
#include <string>
#include <vector>

struct SerialDevice {
    std::string location; // what opens it: /dev/ttyACM0, COM7
    std::string description, manufacturer, serialNumber;
    bool operator==(const SerialDevice&) const = default;
};

// QSerialPortInfo::availablePorts() by default; tests put adapters in and take them out.
using SerialDeviceLister = std::function<std::vector<SerialDevice>()>;
void SetSerialDeviceLister(SerialDeviceLister lister); // nullptr: the system's list again
std::vector<SerialDevice> ListSerialDevices();

// "/dev/ttyACM0 - USB Serial, FTDI, SN A1B2": the location, then what is known of the adapter.
QString DeviceEntryText(const SerialDevice& device);
