#include "app/appsettings.h"

#include "line/driveline.h"

namespace {
QString DeviceKey(int comPort) {
    return QStringLiteral("serial/device_com%1").arg(comPort);
}
} // namespace

std::unique_ptr<QSettings> AppSettings() {
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("ORVEX"),
                                       QStringLiteral("VarDelo"));
}

std::string SavedPortDevice(int comPort) {
    return AppSettings()->value(DeviceKey(comPort)).toString().toStdString();
}

void SavePortDevice(int comPort, const std::string& device) {
    auto settings = AppSettings();
    if (device.empty())
        settings->remove(DeviceKey(comPort));
    else
        settings->setValue(DeviceKey(comPort), QString::fromStdString(device));
}

void ApplySavedPortDevices(DriveLine& line) {
    for (int n = 1; n <= 4; ++n)
        line.setPortDevice(n, SavedPortDevice(n));
}
