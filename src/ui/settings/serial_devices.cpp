#include "ui/settings/serial_devices.h"

#include <QSerialPortInfo>
#include <QStringList>

namespace {
SerialDeviceLister g_lister;
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

QString DeviceEntryText(const SerialDevice& device) {
    QStringList known;
    if (!device.description.empty()) known << QString::fromStdString(device.description);
    if (!device.manufacturer.empty()) known << QString::fromStdString(device.manufacturer);
    if (!device.serialNumber.empty())
        known << QStringLiteral("SN ") + QString::fromStdString(device.serialNumber);
    QString text = QString::fromStdString(device.location);
    if (!known.isEmpty()) text += QStringLiteral(" - ") + known.join(QStringLiteral(", "));
    return text;
}
