#pragma once
// A SerialPort wired to a DriveBus in the same process. Like a real port, written bytes leave
// only when the event loop runs (a close before that drops them), and replies arrive through the
// event loop after the bus's delay. The bus must outlive the port.
#include "drivebus.h"
#include "line/serialport.h"

class SimulatedPort : public SerialPort {
    Q_OBJECT
  public:
    explicit SimulatedPort(DriveBus& bus, QObject* parent = nullptr);
    ~SimulatedPort() override;

    bool isOpen() const override;
    void close() override;
    void setPortNumber(int comPort) override;
    void setSettings(const std::string& settings) override;
    bool open() override;
    std::string errorText() const override;
    std::string deviceName() const override;
    bool write(const std::string& bytes) override;
    int bytesToWrite() const override;
    int bytesWaiting() const override;
    std::string readAll() override;

    // Tests: make open() fail with this reason (empty: opens normally).
    void setOpenFailure(const std::string& reason);
    // Tests: the adapter vanishes now (closes, emits linkLost once). The next open() succeeds
    // unless the bus is in the Vanished fault, which also pulls the plug of an open port.
    void pullPlug();
    // Tests: deliver each reply in pieces of `bytes` bytes, `secondsBetween` apart (one readyRead
    // per piece); 0 bytes delivers replies whole.
    void setReplyPieces(int bytes, double secondsBetween);
    // Tests: bytes that arrive without being asked for (a late reply, line noise).
    void inject(const std::string& bytes);
    // Tests: bytes left in the device's buffer (a late reply) that the next open() finds waiting.
    void holdAtOpen(const std::string& bytes);
    // Tests: written bytes never leave (a stuck driver).
    void setWriteStalled(bool stalled);
    // What the program did to the port (for tests).
    int portNumber() const;
    const std::string& settings() const;
    int openCount() const;
    int writeCount() const;

  private:
    void deliver(const std::string& bytes, double delaySeconds);
    void transmit();

    DriveBus& bus_;
    int faultListener_ = 0;
    bool open_ = false;
    int comPort_ = 1;
    std::string settings_;
    std::string input_;
    std::string output_; // written, not yet on the line
    std::string openFailure_;
    std::string heldAtOpen_;
    std::string error_;
    int openCount_ = 0;
    int writeCount_ = 0;
    bool writeStalled_ = false;
    int pieceBytes_ = 0;
    double pieceSeconds_ = 0;
    unsigned generation_ = 0; // replies scheduled before a close are dropped
};
