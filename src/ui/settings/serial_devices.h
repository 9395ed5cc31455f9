#pragma once
// The serial devices the system reports, for choosing one per COM number.
#include "line/portmap.h"

#include <QString>

// "/dev/ttyACM0 - USB Serial, FTDI, SN A1B2": the location, then what is known of the adapter.
QString DeviceEntryText(const SerialDevice& device);
