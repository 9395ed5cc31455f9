#pragma once
// A simulated line of KMD drives: answers frames as the real drives do, for tests and kmd-sim.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

class DriveBus {
  public:
    enum class Fault {
        None,
        Silent,   // no drive hears anything: no reply, no effect
        NakAll,   // every frame to a drive gets 15h and has no effect
        Garbage,  // replies are random bytes of the right length (never a lone 06 or 15h)
        CutShort, // replies lose their last byte (a one-byte reply is lost)
        Slow,     // replies come slowSeconds() later than usual
        Vanished, // the port is gone (SimulatedPort / kmd-sim act on it); nothing reaches a drive
        Altered,  // replies are right, but the third line of each program written (line 2) is
                  // stored with its last byte one higher: a fault only reading back can find
    };

    struct Reply {
        std::string bytes;
        double delaySeconds = 0; // after the frame's last byte arrived
    };

    // What a drive reports about itself.
    static constexpr int SoftwareRelease = 0x21; // shown as 2.1
    static constexpr int DriveType = 3;
    static constexpr int ProgramCount = 17;
    // Bytes of a frame that stop coming for this long are dropped (the drive's inter-byte timeout).
    static constexpr double FrameGapSeconds = 0.5;

    explicit DriveBus(std::set<int> addresses = {0, 1, 2, 3});
    ~DriveBus();
    DriveBus(const DriveBus&) = delete;
    DriveBus& operator=(const DriveBus&) = delete;

    // Bytes as they arrive on the line (frames may come in pieces or several at once).
    // Returns one reply per complete frame that a drive answers, in order.
    std::vector<Reply> receive(const std::string& bytes);
    // Noise on the line (a collision): the frame being received is lost, as a drive drops a
    // frame with a framing error.
    void dropPartialFrame();

    void setFault(Fault fault);
    Fault fault() const;
    // Limits the fault to the frames whose data (command code, then its bytes) begin with these
    // bytes, e.g. "\xF2\x03" for the read of program 3 only; every other frame is answered
    // normally. Empty: the fault hits every frame. Vanished and Altered ignore it.
    void setFaultOnly(std::string dataPrefix);
    const std::string& faultOnly() const;
    void setSlowSeconds(double seconds);
    double slowSeconds() const;
    // Called on every fault change (a port uses it to vanish while open). Returns an id.
    int addFaultListener(std::function<void(Fault)> listener);
    void removeFaultListener(int id);

    void setAddresses(std::set<int> addresses);
    const std::set<int>& addresses() const;

    // Every well-formed frame that reached the line, in order (for tests).
    const std::vector<std::string>& frames() const;
    void clearFrames();

    // Drive state.
    void setAnalogInput(int address, int value); // 0..65535, read by code 210
    int analogInput(int address) const;
    void setInputs(int address, int bits);     // the I/O byte read by code 19
    void setStatusBits(int address, int bits); // status bits besides bit 0 (moving)
    int statusByte(int address) const;
    int32_t position(int address) const;
    bool moving(int address) const;
    // Program p (0..16) of a drive: one byte string per command, in program order.
    std::vector<std::string> program(int address, int p) const;
    void setProgram(int address, int p, std::vector<std::string> commands);
    // Replaces the clock (seconds, monotonic) that times moves; tests may drive it by hand.
    void setClock(std::function<double()> clock);
    double now() const;

  private:
    struct Drive;
    Drive& drive(int address);
    const Drive* findDrive(int address) const;
    std::vector<Reply> handleFrame(int address, const std::string& data);
    std::string answer(Drive& d, int address, const std::string& data);
    std::string distort(const std::string& reply, Fault fault);

    std::set<int> addresses_;
    std::map<int, std::unique_ptr<Drive>> drives_;
    std::vector<std::string> frames_;
    std::string pending_;
    double lastByteTime_ = 0;
    Fault fault_ = Fault::None;
    std::string faultOnly_;
    double slowSeconds_ = 0.5;
    std::function<double()> clock_;
    std::map<int, std::function<void(Fault)>> faultListeners_;
    int nextListener_ = 1;
    std::mt19937 garbage_{20240611u}; // fixed seed: fault tests repeat exactly
};
