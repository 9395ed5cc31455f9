#pragma once
// A simulated line of KMD drives: answers frames as the real drives do, for tests and kmd-sim.
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

class DriveBus {
  public:
    enum class Fault {
        None,
        Silent,   // no drive answers
        NakAll,   // every frame gets 15h
        Garbage,  // replies are random bytes of the right length
        CutShort, // replies lose their last byte(s)
        Slow,     // replies come after slowSeconds()
        Vanished, // the port is gone (SimulatedPort / kmd-sim act on it)
    };

    struct Reply {
        std::string bytes;
        double delaySeconds = 0; // after the frame's last byte arrived
    };

    explicit DriveBus(std::set<int> addresses = {0, 1, 2, 3});

    // Bytes as they arrive on the line (frames may come in pieces or several at once).
    // Returns one reply per complete frame that a drive answers.
    std::vector<Reply> receive(const std::string& bytes);

    void setFault(Fault fault);
    Fault fault() const;
    void setSlowSeconds(double seconds);
    double slowSeconds() const;

    void setAddresses(std::set<int> addresses);
    const std::set<int>& addresses() const;

    // Every complete frame received, in order (for tests).
    const std::vector<std::string>& frames() const;
    void clearFrames();

    // Drive state.
    void setAnalogInput(int address, int value);
    int32_t position(int address) const;
    bool moving(int address) const;
    // Program p (0..16) of a drive: one byte string per command, in program order.
    std::vector<std::string> program(int address, int p) const;
    void setProgram(int address, int p, std::vector<std::string> commands);
    // Replaces the clock (seconds, monotonic) that times moves; tests may drive it by hand.
    void setClock(std::function<double()> clock);

  private:
    struct Drive;
    Drive& drive(int address);
    std::vector<Reply> handleFrame(const std::string& frame);
    std::string answer(Drive& d, int address, const std::string& data);

    std::set<int> addresses_;
    std::map<int, Drive*> drives_;
    std::vector<std::string> frames_;
    std::string pending_;
    Fault fault_ = Fault::None;
    double slowSeconds_ = 0.5;
    std::function<double()> clock_;
};
