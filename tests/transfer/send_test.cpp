// Sending programs: what goes on the line and what the status box says when the drive or the
// port fails. Sending as it should go is proven through the editor window.
#include "transfer_support.h"

namespace {

// Every frame acknowledged, except that from the `failAt`-th frame on the drive stays silent.
std::function<std::optional<std::string>(const std::string&)> AckUntil(int failAt) {
    auto count = std::make_shared<int>(0);
    return [count, failAt](const std::string&) -> std::optional<std::string> {
        if (++*count >= failAt && failAt > 0) return std::nullopt;
        return std::string("\x06");
    };
}

} // namespace

TEST_F(TransferTest, NothingToSendOrNoSendsNothing) {
    store[0][0] = "11";
    rec.answers = {true};
    SendCurrentPrg(store, 1, rec.io);
    EXPECT_EQ(rec.text1, "No program to send\r\n");
    rec.text1 = "old";
    SendAllPrg(store, rec.io); // answered No
    EXPECT_EQ(rec.text1, "old");
    EXPECT_TRUE(framesHex().empty());
}

// What the drive refuses or leaves unanswered ends the program (closed with F1) or the send.
TEST_F(TransferTest, RefusalsAndSilenceMidSend) {
    ReplyPort& rp = useReplyPort();
    rp.answer = AckUntil(5); // F9, F0, line 1, line 2 acknowledged, then silence
    store[2] = {"11", "11", "11", "11"};
    store[4][0] = "11";
    rec.answers = {true, true};
    SendAllPrg(store, rec.io);
    EXPECT_EQ(rec.text1,
              "Erasing all programs...OK\r\nSend programs to drive...\r\nPRG. N.2.....ERROR - no answer\r\n"
              "PRG. N.2 CANCELLED - could not be erased\r\n");
    ASSERT_EQ(rp.frames.size(), 6u); // F9, F0 02, three lines, F1 unanswered; program 4 never started
    EXPECT_EQ(rp.frames.back(), " FC 21 F1 F1");

    // F0 of program 2 refused: that program is skipped, the next one goes out.
    rp.frames.clear();
    rp.answer = [](const std::string& f) {
        return std::optional<std::string>(f == Bytes("FC 41 F0 02 D0") ? "\x15" : "\x06");
    };
    SendAllPrg(store, rec.io);
    // The drive left writing program 2 is closed and that program erased before anything else.
    EXPECT_EQ(rec.text1,
              "Closing a program left open...OK\r\nErasing program 2 left half written...OK\r\n"
              "Erasing all programs...OK\r\nSend programs to drive...\r\nPRG. N.2...PRG. N.4....OK\r\n");
    EXPECT_EQ(rp.frames, (Frames{" FC 21 F1 F1", " FC 41 F3 02 CD", " FC 21 F9 E9", " FC 41 F0 02 D0",
                                 " FC 41 F0 04 CE", " FC 21 11 D1", " FC 21 F1 F1"}));
}

TEST_F(TransferTest, LineTooLongForAFrameIsNotSent) {
    store[0] = {"11", "01 02 03 04 05 06 07 08"}; // only a hand-written file can hold this
    rec.answers = {true};
    SendCurrentPrg(store, 0, rec.io);
    EXPECT_EQ(rec.text1,
              "Erasing program 0...OK\r\nSend programs to drive...\r\nPRG. N.0....ERROR\r\n"
              "PRG. N.0 line 2: 8 bytes, too long for one frame\r\nPRG. N.0 CANCELLED - erased\r\n");
    EXPECT_EQ(framesHex(), (Frames{" FC 41 F3 00 CF", " FC 41 F0 00 D2", " FC 21 11 D1", " FC 21 F1 F1",
                                   " FC 41 F3 00 CF"}));
    EXPECT_TRUE(bus->program(1, 0).empty());
}

TEST_F(TransferTest, PortFailureOrVanishingAdapterIsToldAndEndsTheOperation) {
    port->setOpenFailure("Device or resource busy");
    const std::string why = "PORT ERROR - COM1 (sim:com1): Device or resource busy\r\n";
    store[0] = {"11", "11"};
    rec.answers = {true, true, true};
    SendAllPrg(store, rec.io);
    EXPECT_EQ(rec.text1, "Erasing all programs...ERROR\r\n" + why);
    ReadAllPrg(store, rec.io);
    EXPECT_EQ(rec.text1, "Reading programs from drive...\r\n" + why);
    rec.inputs = {"4"};
    DeletePrg(rec.io);
    EXPECT_EQ(rec.text1, "Erasing program 4...ERROR\r\n" + why);
    EXPECT_TRUE(framesHex().empty());

    ReplyPort& rp = useReplyPort();
    rp.answer = AckUntil(0);
    rp.vanishAt = 3; // after F9, F0 00, the first line
    SendAllPrg(store, rec.io);
    EXPECT_EQ(rec.text1, "Erasing all programs...OK\r\nSend programs to drive...\r\nPRG. N.0...ERROR\r\n"
                         "LINK LOST - COM1 (reply): device removed\r\n");
    EXPECT_EQ(rp.frames.size(), 3u); // no F1 into a vanished port
}

TEST_F(TransferTest, BusyBusIsRefusedWithABeep) {
    LineLease other = line->lease(BusUse::Command);
    store[0][0] = "11";
    const PrgStore before = store;
    rec.text1 = "running";
    rec.answers = std::deque<bool>(7, true);
    rec.inputs = {"1", "1", "2"};
    SendAllPrg(store, rec.io);
    SendCurrentPrg(store, 0, rec.io);
    ReadAllPrg(store, rec.io);
    DeletePrg(rec.io);
    DeleteAllPrg(rec.io);
    CopyPrg(store, rec.io);
    EXPECT_EQ(rec.beeps, 6);
    EXPECT_TRUE(rec.questions.empty());
    EXPECT_TRUE(rec.prompts.empty());
    EXPECT_EQ(rec.text1, "running");
    EXPECT_EQ(store, before);
    EXPECT_TRUE(framesHex().empty());
}
