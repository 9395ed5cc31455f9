#include "app/appsettings.h"

#include "line/driveline.h"

namespace {
QString Key(const char* what, int comPort) {
    return QStringLiteral("serial/%1_com%2").arg(QLatin1String(what)).arg(comPort);
}
const char* const Keys[] = {"device", "serialnumber", "description"};
} // namespace

std::unique_ptr<QSettings> AppSettings() {
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("ORVEX"),
                                       QStringLiteral("VarDelo"));
}

ChosenDevice SavedPortDevice(int comPort) {
    auto settings = AppSettings();
    auto value = [&](const char* what) {
        return settings->value(Key(what, comPort)).toString().toStdString();
    };
    return {value(Keys[0]), value(Keys[1]), value(Keys[2])};
}

void SavePortDevice(int comPort, const ChosenDevice& device) {
    auto settings = AppSettings();
    const std::string* values[] = {&device.path, &device.serialNumber, &device.description};
    for (int i = 0; i < 3; ++i)
        if (device.path.empty() || values[i]->empty())
            settings->remove(Key(Keys[i], comPort));
        else
            settings->setValue(Key(Keys[i], comPort), QString::fromStdString(*values[i]));
}

void ApplySavedPortDevices(DriveLine& line) {
    for (int n = 1; n <= 4; ++n)
        line.setPortDevice(n, SavedPortDevice(n));
}
