#include "ui/settings/serial_devices.h"

#include <QStringList>

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
