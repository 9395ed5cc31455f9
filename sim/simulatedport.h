#pragma once
// A SerialPort wired to a DriveBus in the same process: replies arrive through the event loop,
// like a real port's, after the bus's delay.
#include "drivebus.h"
#include "link/serialport.h"

class SimulatedPort : public SerialPort {
    Q_OBJECT
  public:
    explicit SimulatedPort(DriveBus& bus, QObject* parent = nullptr);

    bool isOpen() const override;
    void close() override;
    void setPortNumber(int comPort) override;
    void setSettings(const std::string& settings) override;
    bool open() override;
    std::string errorText() const override;
    std::string deviceName() const override;
    bool write(const std::string& bytes) override;
    int bytesWaiting() const override;
    std::string readAll() override;

    // Tests: make open() fail with this reason (empty: opens normally).
    void setOpenFailure(const std::string& reason);
    // Tests: the adapter vanishes now (closes, emits linkLost once).
    void pullPlug();
    // What the program did to the port (for tests).
    int portNumber() const;
    const std::string& settings() const;
    int openCount() const;

  private:
    DriveBus& bus_;
    bool open_ = false;
    int comPort_ = 1;
    std::string settings_;
    std::string input_;
    std::string openFailure_;
    std::string error_;
    int openCount_ = 0;
    unsigned generation_ = 0; // replies scheduled before a close are dropped
};
