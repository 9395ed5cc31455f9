#pragma once
// The application's own settings, for options beyond vdcfg.cfg (whose format stays fixed):
// the serial device chosen per COM number, transfer options. Tests point QSettings elsewhere
// with QSettings::setPath.
#include <QSettings>
#include <memory>
#include <string>

class DriveLine;

std::unique_ptr<QSettings> AppSettings();

// The device the operator chose for COM1..COM4, kept in the settings; empty when none.
std::string SavedPortDevice(int comPort);
void SavePortDevice(int comPort, const std::string& device);
// Puts the saved choices into the line's port mapping (at start of the window and of vardelo-cli).
void ApplySavedPortDevices(DriveLine& line);
