// The editor's transaction: the frame on the wire, the port settings, and the waits.
#include "transfer_support.h"

// Settings of the moment; the port stays open, reopened only when the settings change.
TEST_F(TransferTest, PortSettingsOfTheMoment) {
    EXPECT_EQ(EepromExchange(rec.io, Bytes("F1"), 1.0).instring, "06");
    EXPECT_EQ(port->settings(), "9600,N,8,1");
    EXPECT_EQ(port->openCount(), 1);
    rec.io.drive.line.baud = 19200;
    EepromExchange(rec.io, Bytes("F1"), 1.0);
    EXPECT_EQ(port->settings(), "19200,N,8,1");
    EXPECT_EQ(port->openCount(), 2);
}

// The drive's EEPROM needs its time: each command's wait after the 50 ms first look, pinned as
// the program asks for it (no clock involved).
TEST_F(TransferTest, EachEepromCommandWaitsItsOwnTime) {
    std::vector<double> waits;
    bool silent = false;
    useReplyPort().answer = [&](const std::string& frame) -> std::optional<std::string> {
        if (silent) return std::nullopt;
        return frame[2] == '\xF2' ? Bytes("11 00") : std::string("\x06");
    };
    replyLine->setWaitRecorder([&](double s) { waits.push_back(s); });
    auto schedule = [&](auto operation) {
        waits.clear();
        operation();
        return waits;
    };
    using W = std::vector<double>;
    store[3][0] = "11 ";
    rec.answers = std::deque<bool>(6, true);
    // F9, F0, one line, F1.
    EXPECT_EQ(schedule([&] { SendAllPrg(store, rec.io); }), (W{0.05, 2.0, 0.05, 0.2, 0.05, 0.2, 0.05, 1.0}));
    rec.inputs = {"4"};
    EXPECT_EQ(schedule([&] { DeletePrg(rec.io); }), (W{0.05, 2.0}));
    W read;
    for (int p = 0; p < NumPrograms; ++p)
        read.insert(read.end(), {0.05, 1.0});
    EXPECT_EQ(schedule([&] { ReadAllPrg(store, rec.io); }), read);
    // A silent drive gets eleven looks, then the erase is reported failed; in fast mode too.
    silent = true;
    W eleven;
    for (int i = 0; i < 11; ++i)
        eleven.insert(eleven.end(), {0.05, 2.0});
    EXPECT_EQ(schedule([&] { DeleteAllPrg(rec.io); }), eleven);
    // After no answer the next frame first waits for a quiet line (a late answer is dropped).
    eleven.insert(eleven.begin(), SettleQuietSeconds);
    rec.io.options = {true, true};
    EXPECT_EQ(schedule([&] { DeleteAllPrg(rec.io); }), eleven);
}
