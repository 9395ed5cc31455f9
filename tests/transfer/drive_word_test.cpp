// A transfer counts a command done only on the drive's own 06: a refused, silent or garbled
// answer to one command never leaves a program reported sent that the drive does not hold, nor
// half a program, nor a drive still writing.
#include "transfer_support.h"

namespace {

using Lines = std::vector<std::string>;
using F = DriveBus::Fault;

class DriveWord : public TransferTest {
  protected:
    void SetUp() override {
        TransferTest::SetUp();
        store[0] = {"A8 0F A0", "26 02", "11"};
        store[1] = {"26 03"};
        rec.answers = std::deque<bool>(20, true);
    }
    Lines OnDrive(int p) const { return bus->program(1, p); }
    Lines Sent(int p) const {
        Lines out;
        for (const std::string& l : store[p])
            if (!l.empty()) out.push_back(Bytes(l));
        return out;
    }
    void Fault(F fault, const std::string& only = {}) {
        bus->setFaultOnly(only);
        bus->setFault(fault);
    }
};

} // namespace

// One command refused, unanswered or garbled; every other answered 06.
TEST_F(DriveWord, OneCommandFaultEndsWithTheProgramNotSentAndErased) {
    const std::string begin = "Erasing all programs...OK\r\nSend programs to drive...\r\n";
    struct Case {
        F fault;
        std::string only;
        std::string status;
    } cases[] = {
        {F::NakAll, Bytes("26 02"), "PRG. N.0....ERROR - refused (15h)\r\nPRG. N.0 CANCELLED - erased\r\n"},
        {F::Garbage, Bytes("26 02"), "PRG. N.0....ERROR - unexpected answer "},
        {F::NakAll, Bytes("F1"),
         "PRG. N.0......ERROR - refused (15h)\r\nPRG. N.0 CANCELLED - could not be erased\r\n"},
    };
    for (const Case& c : cases) {
        Fault(c.fault, c.only);
        TransferResult r = SendAllPrg(store, rec.io);
        EXPECT_EQ(rec.text1.substr(0, begin.size() + c.status.size()), begin + c.status) << rec.text1;
        EXPECT_TRUE(r.sent.empty() && !r.ok) << rec.text1;
        if (c.fault == F::NakAll && c.only == Bytes("26 02")) {
            EXPECT_TRUE(OnDrive(0).empty());
        }

        // Once the drive answers again, whatever was left open is closed and erased first.
        Fault(F::None);
        rec.inputs = {"5"};
        DeletePrg(rec.io);
        if (c.only == Bytes("F1")) {
            EXPECT_EQ(rec.text1,
                      "Closing a program left open...OK\r\nErasing program 0 left half written...OK\r\n"
                      "Erasing program 5...OK\r\n");
        }
        EXPECT_TRUE(OnDrive(0).empty()) << rec.text1;
    }
}

TEST_F(DriveWord, CancelMidProgramLeavesNoHalfProgram) {
    int asked = 0;
    rec.io.cancelled = [&] { return ++asked == 4; }; // before program 0's third line
    TransferResult r = SendAllPrg(store, rec.io);
    EXPECT_EQ(rec.text1, "Erasing all programs...OK\r\nSend programs to drive...\r\nPRG. N.0....\r\n"
                         "PRG. N.0 CANCELLED - erased\r\nTransfer cancelled\r\n");
    EXPECT_TRUE(r.cancelled && r.sent.empty());
    EXPECT_TRUE(OnDrive(0).empty());
    EXPECT_EQ(framesHex().back(), " FC 41 F3 00 CF");
}

// A late 06 to F0 00 must not be taken for F0 01's, nor F0 01 be stored as program 0's line.
TEST_F(DriveWord, LateAnswerToABeginIsNotTheNextOnes) {
    bus->setSlowSeconds(0.15);
    Fault(F::Slow, Bytes("F0 00"));
    TransferResult r = SendAllPrg(store, rec.io);
    EXPECT_EQ(r.sent, std::vector<int>{1}) << rec.text1;
    EXPECT_TRUE(OnDrive(0).empty());
    EXPECT_EQ(OnDrive(1), Sent(1));
    // The begin that got no answer is followed by its end before anything else.
    const Frames frames = framesHex();
    ASSERT_GE(frames.size(), 3u);
    EXPECT_EQ((Frames{frames[1], frames[2]}), (Frames{" FC 41 F0 00 D2", " FC 21 F1 F1"}));
}

TEST_F(DriveWord, VanishedAdapterMidProgramIsClosedAndErasedByTheNextWrite) {
    rec.io.progress = [&](int done, int) {
        if (done == 3) bus->setFault(F::Vanished); // after F9, F0 00, the first line
    };
    SendAllPrg(store, rec.io);
    EXPECT_NE(rec.text1.find("LINK LOST"), std::string::npos) << rec.text1;
    rec.io.progress = nullptr;
    bus->setFault(F::None);
    TransferResult r = SendAllPrg(store, rec.io);
    EXPECT_EQ(
        rec.text1.rfind("Closing a program left open...OK\r\nErasing program 0 left half written...OK\r\n"
                        "Erasing all programs...OK\r\n",
                        0),
        0u)
        << rec.text1;
    EXPECT_EQ(r.sent, (std::vector<int>{0, 1}));
    EXPECT_EQ(OnDrive(0), Sent(0));
}

// Every operation under every fault, at both pacings: each success reported is true of the
// drive's store afterwards.
TEST_F(DriveWord, EveryReportedSuccessIsTrueOfTheDrive) {
    bus->setSlowSeconds(0.05);
    line->setWaitScale(0.005);
    const Lines old{Bytes("11")};
    for (bool fast : {false, true})
        for (F fault : {F::Silent, F::NakAll, F::Garbage, F::CutShort, F::Slow}) {
            const std::string why = std::string(fast ? "fast " : "standard ") + std::to_string(int(fault));
            rec.io.options = {fast, false};
            auto reset = [&] {
                rec.answers = {true};
                rec.text1.clear();
                Fault(F::None);
                line->setLeftWriting(rec.io.drive, {});
                for (int p = 0; p < NumPrograms; ++p)
                    bus->setProgram(1, p, old);
                Fault(fault);
            };
            reset();
            TransferResult sent = SendAllPrg(store, rec.io);
            for (int q : sent.sent) {
                EXPECT_EQ(OnDrive(q), Sent(q)) << why << rec.text1;
            }
            reset();
            rec.inputs = {"3"};
            if (DeletePrg(rec.io).ok || rec.text1.find("OK") != std::string::npos) {
                EXPECT_TRUE(OnDrive(3).empty()) << why << rec.text1;
            }
            reset();
            if (DeleteAllPrg(rec.io).ok || rec.text1.find("OK") != std::string::npos) {
                EXPECT_TRUE(OnDrive(9).empty()) << why << rec.text1;
            }
            reset();
            PrgStore read{};
            // To a read, 15h is the drive's word for an empty program: a refusal cannot be told.
            if (ReadAllPrg(read, rec.io).ok && fault != F::NakAll)
                for (int p = 0; p < NumPrograms; ++p) {
                    EXPECT_EQ(read[p][0] + read[p][1], "11 ") << why << " program " << p;
                }
            reset();
            TransferResult verified = VerifyPrg(store, rec.io);
            if (verified.ok) ADD_FAILURE() << why << ": the drive holds 11 everywhere, not the store";
        }
}
