// The editor's transaction on the wire: frames, the polled reply, switchall, port failures.
#include "app/module1.h"
#include "link/buswait.h"
#include "transfer_support.h"

namespace {

std::string Send(int add, const std::string& hexData, double timeout = 0.2, std::string instring = "") {
    TxRxCMDEEPROM(add, Bytes(hexData), instring, timeout);
    return instring;
}

} // namespace

TEST_F(TransferTest, FramesOfTheEepromCommands) {
    EXPECT_EQ(Send(1, "F9", 2.0), "06");
    EXPECT_EQ(Send(1, "F0 00"), "06");
    EXPECT_EQ(Send(1, "A8 0F A0"), "06");
    EXPECT_EQ(Send(1, "F1", 1.0), "06");
    Send(2, "F2 05", 1.0);
    Send(1, "F3 10", 2.0);
    EXPECT_EQ(framesHex(), HexFrames({" FC 21 F9 E9", " FC 41 F0 00 D2", " FC 61 A8 0F A0 4B", " FC 21 F1 F1",
                                      " FC 42 F2 05 CA", " FC 41 F3 10 BF"}));
    // Settings of the moment, and the port left open for the next transaction to reopen.
    EXPECT_EQ(port->settings(), "9600,N,8,1");
    EXPECT_TRUE(port->isOpen());
    EXPECT_EQ(port->openCount(), 6);
}

TEST_F(TransferTest, ReplyIsHexTextWithoutOuterBlanks) {
    ReplyPort& rp = useReplyPort();
    rp.answer = [](const std::string& frame) -> std::optional<std::string> {
        if (frame[2] == '\xF2') return Bytes("A8 0F A0 11 00");
        if (frame[2] == '\xF3') return Bytes("15");
        return std::nullopt;
    };
    EXPECT_EQ(Send(1, "F2 00", 1.0), "A8 0F A0 11 00");
    EXPECT_EQ(Send(1, "F3 00", 2.0), "15");
    // Nothing at all: empty after the attempts, whatever the caller put in; sent only once.
    rp.frames.clear();
    EXPECT_EQ(Send(1, "F0 00", 0.2, "stale"), "");
    EXPECT_EQ(rp.frames.size(), 1u);
    // Switchall: nothing written, the caller's text stays.
    EXPECT_EQ(Send(99, "F9", 2.0, "caller's"), "caller's");
    EXPECT_EQ(rp.frames.size(), 1u);
}

// Real timing: an acknowledged command, a lone NAK that returns at the first look, and silence
// that ends after the eleventh attempt.
TEST_F(TransferTest, FullLengthWaits) {
    WaitScale = 1.0;
    ReplyPort& rp = useReplyPort();
    rp.answer = [](const std::string& frame) -> std::optional<std::string> {
        if (frame[2] == '\xF0') return std::string("\x06");
        if (frame[2] == '\xF3') return std::string("\x15");
        return std::nullopt;
    };
    EXPECT_EQ(Send(1, "F0 00", 0.2), "06");
    EXPECT_EQ(Send(1, "F3 00", 2.0), "15");
    EXPECT_EQ(Send(1, "A8 0F A0", 0.0), "");
    EXPECT_EQ(rp.frames.size(), 3u);
}
