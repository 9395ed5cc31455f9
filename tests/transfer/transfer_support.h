#pragma once
// What the transfer tests share: a recorded TransferIo and a port whose answers a test decides.
#include "jobs/transfer.h"
#include "line/driveline.h"
#include "protocol/catalog.h"
#include "reply_port.h"
#include "line_fixture.h"

#include <deque>

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

// The line fixture with the catalog built and drive address 1.
class TransferTest : public LineFixture {
  protected:
    void SetUp() override {
        LineFixture::SetUp();
        Module1::InitComandi();
        use(*line);
        rec.io.drive.address = 1;
    }
    void TearDown() override {
        rec.io.line = nullptr;
        replyLine.reset();
        LineFixture::TearDown();
    }
    // The line the operations go over from now on.
    void use(DriveLine& l) { rec.io.line = &l; }
    // Replaces the drive bus by a port whose answers the test decides, on a line of its own.
    ReplyPort& useReplyPort() {
        replyPort = std::make_unique<ReplyPort>();
        replyLine = std::make_unique<DriveLine>(*replyPort);
        replyLine->setWaitScale(line->waitScale());
        use(*replyLine);
        return *replyPort;
    }

    RecordedIo rec;
    PrgStore store{};
    std::unique_ptr<ReplyPort> replyPort;
    std::unique_ptr<DriveLine> replyLine;
};

using Frames = std::vector<std::string>;
using Prompt = std::pair<std::string, std::string>; // prompt, title
