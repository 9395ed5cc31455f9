#pragma once
// What the transfer tests share: a recorded TransferIo and a port whose answers a test decides.
#include "editor/transfer.h"
#include "link/serialport.h"
#include "sim_fixture.h"

#include <deque>
#include <functional>
#include <optional>

// The status box, questions and prompts of one operation, scripted and recorded.
struct RecordedIo {
    std::string text1;
    std::deque<bool> answers;       // Yes/No, in order; missing = No
    std::deque<std::string> inputs; // typed texts, in order; missing = Cancel
    std::vector<std::string> questions;
    std::vector<std::pair<std::string, std::string>> prompts; // prompt, title
    int beeps = 0;
    int shows = 0;
    TransferIo io;
    RecordedIo();
};

// A port whose every frame is answered by `answer` (nullopt: silence). Replies come through the
// event loop like a real port's. Used where a test needs a reply the drive bus never gives.
class ReplyPort : public SerialPort {
    Q_OBJECT
  public:
    std::function<std::optional<std::string>(const std::string& frame)> answer;
    std::vector<std::string> frames; // as hex text, " FC 21 F9 E9"
    int vanishAt = 0;                // the adapter vanishes after this many frames (0: never)

    bool isOpen() const override { return open_; }
    void close() override {
        open_ = false;
        input_.clear();
    }
    void setPortNumber(int) override {}
    void setSettings(const std::string&) override {}
    bool open() override { return open_ = true; }
    std::string errorText() const override { return error_; }
    std::string deviceName() const override { return "reply"; }
    bool write(const std::string& bytes) override;
    int bytesWaiting() const override { return static_cast<int>(input_.size()); }
    std::string readAll() override {
        std::string out;
        out.swap(input_);
        return out;
    }

  private:
    bool open_ = false;
    std::string input_;
    std::string error_;
};

// The fixture of the transfer tests: SimFixture, the catalog built, drive address 1.
class TransferTest : public SimFixture {
  protected:
    void SetUp() override;
    void TearDown() override;
    // Replaces the drive bus by a ReplyPort for this test.
    ReplyPort& useReplyPort();

    RecordedIo rec;
    PrgStore store{};
    std::unique_ptr<ReplyPort> replyPort;
};

using Frames = std::vector<std::string>;
// The frame of EEPROM command bytes to an address (checksum computed), as hex text.
std::string FrameTo(int address, const std::string& hexData);
// Every line of `got` equals the same line of `sent` once the drive's trailing blank is cut.
void ExpectSameProgramsIgnoringTrailingBlanks(const PrgStore& got, const PrgStore& sent);
