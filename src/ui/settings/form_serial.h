#pragma once
// Serial settings: port COM1..COM4 and baud rate. Clicks change Module1::ComPort / BaudRate at
// once; OK also writes the configuration file, the close box does not. For the selected COM
// number any serial device the system reports may be chosen instead of the usual mapping; the
// choice is in force at once and kept in the application's settings on OK.
#include "ui/settings/serial_devices.h"

#include <QDialog>

class DriveLine;
#include <QTimer>
#include <vector>

class QComboBox;
class QLabel;
class QRadioButton;

class Form_serial : public QDialog {
    Q_OBJECT
  public:
    explicit Form_serial(DriveLine& line, QWidget* parent = nullptr);
    ~Form_serial() override;
    void SetLingua();

  private:
    DriveLine& line_;
    void Form_Load();
    void ShowDevices();
    void FillDeviceList();
    void PollDevices();
    void Device_Click(int index);
    void Combo1_Click(int index);
    void Command1_Click();

    QRadioButton* options_[4] = {};
    QLabel* devices_[4] = {};
    QComboBox* device_ = nullptr;
    QComboBox* baud_ = nullptr;
    QTimer poll_;
    std::vector<SerialDevice> listed_;
};
