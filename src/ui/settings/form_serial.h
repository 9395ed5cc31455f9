#pragma once
// Serial settings: port COM1..COM4 and baud rate. Clicks change Module1::ComPort / BaudRate at
// once; OK also writes the configuration file, the close box does not.
#include <QDialog>

class QComboBox;
class QLabel;
class QRadioButton;

class Form_serial : public QDialog {
    Q_OBJECT
  public:
    explicit Form_serial(QWidget* parent = nullptr);
    ~Form_serial() override;
    void SetLingua();

  private:
    void Form_Load();
    void ShowDevices();
    void Combo1_Click(int index);
    void Command1_Click();

    QRadioButton* options_[4] = {};
    QLabel* devices_[4] = {};
    QComboBox* baud_ = nullptr;
};
