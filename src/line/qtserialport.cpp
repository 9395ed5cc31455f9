#include "line/qtserialport.h"

#include "base/numbers.h"
#include "line/portmap.h"

#include <QFileInfo>

QtSerialPort::QtSerialPort(QObject* parent) : SerialPort(parent) {
    connect(&port_, &QSerialPort::readyRead, this, &SerialPort::readyRead);
    connect(&port_, &QSerialPort::bytesWritten, this, &SerialPort::bytesWritten);
    connect(&port_, &QSerialPort::errorOccurred, this, &QtSerialPort::onError);
}

bool QtSerialPort::isOpen() const {
    return port_.isOpen();
}

void QtSerialPort::close() {
    if (port_.isOpen()) port_.close();
}

void QtSerialPort::setPortNumber(int comPort) {
    comPort_ = comPort;
}

void QtSerialPort::setDevice(const std::string& device) {
    device_ = device;
}

void QtSerialPort::setSettings(const std::string& settings) {
    // "9600,N,8,1": only the rate varies; the rest is fixed by the line.
    baud_ = static_cast<int>(Val(settings.substr(0, settings.find(','))));
}

bool QtSerialPort::open() {
    error_.clear();
    const ResolvedPort resolved = ResolveChosenPort(comPort_, ChosenDevice{device_});
    opened_ = resolved.device;
    if (!resolved.exists) {
        error_ = "no such device";
        return false;
    }
#ifdef _WIN32
    port_.setPortName(QString::fromStdString(opened_));
#else
    port_.setPortName(QFileInfo(QString::fromStdString(opened_)).absoluteFilePath());
#endif
    port_.setBaudRate(baud_);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!port_.open(QIODevice::ReadWrite)) {
        error_ = port_.errorString().toStdString();
        return false;
    }
    // A reply that came after the port was last closed still sits in the device's buffer; it
    // must not be taken for the answer to the next frame.
    port_.clear(QSerialPort::Input);
    return true;
}

std::string QtSerialPort::errorText() const {
    return error_;
}

std::string QtSerialPort::deviceName() const {
    return opened_.empty() ? ResolveChosenPort(comPort_, ChosenDevice{device_}).device : opened_;
}

bool QtSerialPort::write(const std::string& bytes) {
    if (!port_.isOpen()) {
        error_ = "port not open";
        return false;
    }
    // Input from before this frame (a late reply) must not be taken for its answer. It is dropped
    // now, before the frame leaves: a prompt drive answers as soon as the frame is out.
    port_.clear(QSerialPort::Input);
    qint64 n = port_.write(bytes.data(), static_cast<qint64>(bytes.size()));
    if (n != static_cast<qint64>(bytes.size())) {
        error_ = port_.errorString().toStdString();
        return false;
    }
    return true;
}

int QtSerialPort::bytesToWrite() const {
    return port_.isOpen() ? static_cast<int>(port_.bytesToWrite()) : 0;
}

int QtSerialPort::bytesWaiting() const {
    return port_.isOpen() ? static_cast<int>(port_.bytesAvailable()) : 0;
}

std::string QtSerialPort::readAll() {
    if (!port_.isOpen()) return std::string();
    return port_.readAll().toStdString();
}

void QtSerialPort::onError(QSerialPort::SerialPortError error) {
    if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError) return;
    if (!port_.isOpen()) return;
    error_ = "link lost: " + port_.errorString().toStdString();
    port_.close();
    emit linkLost(QString::fromStdString(error_));
}
