#pragma once
#include "line/serialport.h"

#include <QSerialPort>

// A real serial device through QSerialPort. An unplugged adapter closes the port at once and
// is reported once as linkLost (Qt would otherwise repeat the error at full CPU).
class QtSerialPort : public SerialPort {
    Q_OBJECT
  public:
    explicit QtSerialPort(QObject* parent = nullptr);

    bool isOpen() const override;
    void close() override;
    void setPortNumber(int comPort) override;
    void setSettings(const std::string& settings) override;
    void setDevice(const std::string& device) override;
    bool open() override;
    std::string errorText() const override;
    std::string deviceName() const override;
    bool write(const std::string& bytes) override;
    int bytesToWrite() const override;
    int bytesWaiting() const override;
    std::string readAll() override;

  private:
    void onError(QSerialPort::SerialPortError error);

    QSerialPort port_;
    int comPort_ = 1;
    int baud_ = 9600;
    std::string device_; // chosen for the port number; empty: the usual mapping
    std::string opened_; // what the last open() tried
    std::string error_;
};
