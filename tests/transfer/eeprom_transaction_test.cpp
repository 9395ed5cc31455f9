// The editor's transaction: the frame on the wire, the port settings, and the real waits.
#include "app/module1.h"
#include "link/buswait.h"
#include "transfer_support.h"

namespace {

std::string Send(int add, const std::string& hexData, double timeout, std::string instring = "") {
    TxRxCMDEEPROM(add, Bytes(hexData), instring, timeout);
    return instring;
}

} // namespace

TEST_F(TransferTest, FramesSettingsAndSwitchall) {
    EXPECT_EQ(Send(1, "F1", 1.0), "06");
    Send(2, "F2 05", 1.0);
    EXPECT_EQ(framesHex(), (Frames{" FC 21 F1 F1", " FC 42 F2 05 CA"}));
    // Settings of the moment, and the port left open for the next transaction to reopen.
    EXPECT_EQ(port->settings(), "9600,N,8,1");
    EXPECT_TRUE(port->isOpen());
    EXPECT_EQ(port->openCount(), 2);
    EXPECT_EQ(Send(99, "F9", 2.0, "caller's"), "caller's"); // switchall: nothing written
    EXPECT_EQ(framesHex().size(), 2u);
}

// Real timing: an acknowledged command, a lone NAK that returns at the first look, and silence
// that ends after the eleventh attempt, empty whatever the caller put in.
TEST_F(TransferTest, FullLengthWaits) {
    WaitScale = 1.0;
    ReplyPort& rp = useReplyPort();
    rp.answer = [](const std::string& frame) -> std::optional<std::string> {
        if (frame[2] == '\xF0') return std::string("\x06");
        if (frame[2] == '\xF2') return Bytes("A8 0F A0 11 00");
        if (frame[2] == '\xF3') return std::string("\x15");
        return std::nullopt;
    };
    EXPECT_EQ(Send(1, "F0 00", 0.2), "06");
    EXPECT_EQ(Send(1, "F2 00", 1.0), "A8 0F A0 11 00"); // hex text without outer blanks
    EXPECT_EQ(Send(1, "F3 00", 2.0), "15");
    EXPECT_EQ(Send(1, "A8 0F A0", 0.0, "stale"), "");
    EXPECT_EQ(rp.frames.size(), 4u);
}
