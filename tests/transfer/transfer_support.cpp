#include "transfer_support.h"

#include "app/module1.h"
#include "catalog/catalog.h"
#include "link/frame.h"
#include "link/transaction.h"

RecordedIo::RecordedIo() {
    io.ask = [this](const std::string& q) {
        questions.push_back(q);
        if (answers.empty()) return false;
        bool a = answers.front();
        answers.pop_front();
        return a;
    };
    io.input = [this](const std::string& prompt, const std::string& title) {
        prompts.emplace_back(prompt, title);
        if (inputs.empty()) return std::string();
        std::string s = inputs.front();
        inputs.pop_front();
        return s;
    };
    io.setStatus = [this](const std::string& t) { text1 = t; };
    io.appendStatus = [this](const std::string& t) { text1 += t; };
    io.beep = [this] { ++beeps; };
    io.showProgram = [this] { ++shows; };
}

void TransferTest::SetUp() {
    SimFixture::SetUp();
    Module1::InitComandi();
    Module1::Indirizzo = 1;
}

void TransferTest::TearDown() {
    SetSharedPort(nullptr);
    replyPort.reset();
    SimFixture::TearDown();
}

ReplyPort& TransferTest::useReplyPort() {
    replyPort = std::make_unique<ReplyPort>();
    SetSharedPort(replyPort.get());
    return *replyPort;
}

void ExpectSameProgramsIgnoringTrailingBlanks(const PrgStore& got, const PrgStore& sent) {
    for (int p = 0; p < NumPrograms; ++p)
        for (int i = 0; i < LinesPerProgram; ++i) {
            std::string line = got[p][i];
            while (!line.empty() && line.back() == ' ')
                line.pop_back();
            EXPECT_EQ(line, sent[p][i]) << "program " << p << " line " << i;
        }
}

std::string FrameTo(int address, const std::string& hexData) {
    return Module1::StringaHex(BuildFrame(address, BytesOfHexText(hexData)));
}
