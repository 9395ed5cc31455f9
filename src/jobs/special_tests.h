#pragma once
// The three diagnostics tests and the transactions they use, without any widget: the window
// shows `text()` (its Text1) and forwards its clicks.
#include "line/driveline.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class SpecialTests {
  public:
    enum class End {
        Done,    // the test ran to its end
        Stopped, // Stop was clicked
        Failed,  // a command got no reply or the port failed; Text1 says so
        Busy,    // another drive operation runs; nothing was done
        Refused, // the address is "switchall"; Text1 says so
        Aborted, // the program is quitting
    };

    // `onText` is called whenever Text1 changes, with its whole text (lines end in CR LF).
    explicit SpecialTests(DriveLine& line, std::function<void(const std::string&)> onText = {});

    const std::string& text() const { return text_; }
    bool running() const { return running_; }
    // Ends a running loop or step test after its current transaction.
    void requestStop();
    // The next step test draws from this seed instead of the clock.
    void setSeed(uint32_t seed) { seed_ = seed; }

    // Each test talks to `drive` for all its transactions, whatever is picked meanwhile.
    End RunEncoderTest(const DriveAt& drive);
    End RunLoop(const DriveAt& drive);
    End RunStepTest(const DriveAt& drive);

    // One counted transaction through the test's target (bounded wait); shows nothing.
    Exchange TxRxSerialeX(int add, int comando, double parametro1, double parametro2, int ntx, int nrx,
                          int tipoComando);
    // Sends `cmdString` framed for `add` and polls for the reply, which lands in `instring` as hex
    // text ("15" for a lone refusal, empty when nothing came).
    PolledExchange TxRxCMDSTRING(int add, const std::string& cmdString, std::string& instring,
                                 double timeoutSeriale);

    enum class StatusEnd { Low, Stopped, NoReply };
    // Polls the status (172) of the drive at `add` until its bit 0 is clear, Stop is clicked or
    // no reply comes. A test passes the address it started with, whatever the main window shows now.
    StatusEnd WaitStatusBit0Low(int add, PolledExchange* last = nullptr);

  private:
    void setText(const std::string& text);
    void appendLine(const std::string& line);
    // Text1 line for a transaction that got no usable answer; nullopt when it did.
    static std::optional<std::string> Failure(Outcome outcome, const std::string& frame,
                                              const std::string& error, bool gotSomething);
    End stopWith(const std::string& line);
    End ending(End end);
    End cut();
    End refuseBroadcast();

    DriveLine& line_;
    LineTarget target_; // where the running test's line goes
    std::function<void(const std::string&)> onText_;
    std::string text_ = "Text1";
    bool running_ = false;
    bool stopRequested_ = false;
    bool wroteThisTest_ = false;
    std::optional<uint32_t> seed_;
};
