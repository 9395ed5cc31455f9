// The communication log records every frame and reply, in order, and saves what it shows.
#include "app/module1.h"
#include "catalog/catalog.h"
#include "link/transaction.h"
#include "sim_fixture.h"
#include "ui/tools/form_log.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

class LogTest : public SimFixture {
  protected:
    void SetUp() override {
        SimFixture::SetUp();
        ProgramTrafficLog().clear();
    }
    std::vector<std::string> Lines() const {
        std::vector<std::string> out;
        for (const LogEntry& e : ProgramTrafficLog().entries())
            out.push_back(LogDirection(e.kind) + " " + std::to_string(e.address) + " " + e.hex);
        return out;
    }
};

} // namespace

TEST_F(LogTest, RecordsCommandsBroadcastsTimeoutsAndTransfersInOrder) {
    Form_Log window;
    CountedTransaction(*port, 1, 1, 0, 0, 1, 1, 0);   // reset to drive 1
    CountedTransaction(*port, 99, 17, 0, 0, 1, 1, 0); // stop to every drive
    bus->setFault(DriveBus::Fault::Silent);
    CountedTransaction(*port, 2, 18, 0, 0, 1, 8, 0); // read position, no answer
    bus->setFault(DriveBus::Fault::None);
    PolledTransaction(*port, 1, std::string("\xF9"), 2.0); // erase all programs

    std::vector<std::string> expected = {
        "TX 1 FC 21 01 E1", "RX 1 06",    "TX 99 FC 00 01 11 F1", "BROADCAST 99 ",
        "TX 2 FC 22 12 CF", "TIMEOUT 2 ", "TX 1 FC 21 F9 E9",     "RX 1 06",
    };
    EXPECT_EQ(Lines(), expected);
    window.model().refresh();
    EXPECT_EQ(window.model().rowCount(), 8);
}

TEST_F(LogTest, DescribesFramesAndRepliesItKnows) {
    Module1::InitComandi();
    CountedTransaction(*port, 1, 18, 0, 0, 1, 8, 0);
    const auto& entries = ProgramTrafficLog().entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_NE(entries[0].decoded.find("Reading present position"), std::string::npos) << entries[0].decoded;
    EXPECT_NE(entries[1].decoded.find("Present position:"), std::string::npos) << entries[1].decoded;
}

TEST_F(LogTest, PortFailuresAndRefusedValuesAreEntriesOfTheirOwn) {
    CountedTransaction(*port, 1, 49, 3e9, 0, 5, 1, 0);
    port->setOpenFailure("Permission denied");
    CountedTransaction(*port, 1, 1, 0, 0, 1, 1, 0);
    const auto& entries = ProgramTrafficLog().entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].kind, TrafficEvent::Refused);
    EXPECT_EQ(entries[1].kind, TrafficEvent::PortError);
    EXPECT_NE(entries[1].decoded.find("Permission denied"), std::string::npos);
}

TEST_F(LogTest, KeepsTheNewestTenThousandEntries) {
    Form_Log window;
    for (int i = 0; i < 10050; ++i)
        ProgramTrafficLog().record({TrafficEvent::Timeout, i % 32, std::string(1, char(i)), ""});
    window.model().refresh();
    EXPECT_EQ(ProgramTrafficLog().entries().size(), TrafficLog::Capacity);
    EXPECT_EQ(window.model().rowCount(), static_cast<int>(TrafficLog::Capacity));
    EXPECT_EQ(ProgramTrafficLog().entries().front().address, 50 % 32);
    EXPECT_EQ(window.model().index(0, 2).data().toString(), QString::number(50 % 32));
    for (int i = 0; i < 20; ++i)
        ProgramTrafficLog().record({TrafficEvent::Timeout, 7, "", ""});
    window.model().refresh();
    EXPECT_EQ(window.model().rowCount(), static_cast<int>(TrafficLog::Capacity));
    EXPECT_EQ(window.model().index(window.model().rowCount() - 1, 2).data().toString(), "7");
}

TEST_F(LogTest, SavingWritesWhatTheWindowShows) {
    Form_Log window;
    CountedTransaction(*port, 1, 1, 0, 0, 1, 1, 0);
    window.model().refresh();
    QTemporaryDir dir;
    QString name = dir.filePath("log.txt");
    prompts->fileNames.push_back(name);
    window.SaveAs();
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QString text = QString::fromUtf8(f.readAll());
    EXPECT_EQ(text, window.LogText());
    QStringList lines = text.split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].contains("\tTX\t1\tFC 21 01 E1\t"));
    EXPECT_TRUE(lines[1].contains("\tRX\t1\t06\tACK"));
    // The time has milliseconds: hh:mm:ss.mmm
    EXPECT_EQ(lines[0].indexOf('.'), 8);

    prompts->fileNames.push_back(dir.filePath("missing/folder/log.txt"));
    window.SaveAs();
    ASSERT_EQ(prompts->messages.size(), 1u);
    EXPECT_TRUE(prompts->messages[0].error);
}
