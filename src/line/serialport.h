#pragma once
// The serial port seam: what every transaction needs of a port. QtSerialPort drives a real
// device; tests use a port wired to the simulated drive bus.
#include <QObject>
#include <string>

class SerialPort : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;
    ~SerialPort() override = default;

    virtual bool isOpen() const = 0;
    virtual void close() = 0;
    virtual void setPortNumber(int comPort) = 0;
    // "9600,N,8,1": baud rate, no parity, 8 data bits, 1 stop bit.
    virtual void setSettings(const std::string& settings) = 0;
    // The device the port number resolves to on this computer (a real port opens it).
    virtual void setDevice(const std::string& device) { (void)device; }
    // Opens with the number and settings in force; on failure errorText() says why.
    virtual bool open() = 0;
    virtual std::string errorText() const = 0;
    // Human-readable name of what the port number opens (e.g. "./com1", "/dev/ttyUSB0").
    virtual std::string deviceName() const = 0;
    // Takes the bytes into the port's buffer; false when the port cannot take them. They reach
    // the system only while the event loop runs (see bytesToWrite), and a close drops them.
    virtual bool write(const std::string& bytes) = 0;
    // Bytes written but not yet handed to the system. A port without a buffer of its own has none.
    virtual int bytesToWrite() const { return 0; }
    virtual int bytesWaiting() const = 0;
    // All waiting bytes, in arrival order; empty when none.
    virtual std::string readAll() = 0;

  signals:
    void readyRead();
    // Some written bytes were handed to the system.
    void bytesWritten();
    // The adapter vanished (unplugged USB, device removed); the port is already closed.
    void linkLost(const QString& reason);
};
