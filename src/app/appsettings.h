#pragma once
// The application's own settings, for options beyond vdcfg.cfg (whose format stays fixed):
// the serial device chosen per COM number, transfer options. Tests point QSettings elsewhere
// with QSettings::setPath.
#include "line/portmap.h"

#include <QSettings>
#include <memory>
#include <string>

class DriveLine;

std::unique_ptr<QSettings> AppSettings();

// The device the operator chose for COM1..COM4, kept in the settings with the adapter's serial
// number and description; an empty path when none. Settings from before keep only the path.
ChosenDevice SavedPortDevice(int comPort);
void SavePortDevice(int comPort, const ChosenDevice& device);
// Puts the saved choices into the line's port mapping (at start of the window and of vardelo-cli).
void ApplySavedPortDevices(DriveLine& line);
