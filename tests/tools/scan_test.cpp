// The bus scan finds exactly the drives that answer, within its bound, and can be cancelled.
#include "app/module1.h"
#include "link/busscan.h"
#include "link/buswait.h"
#include "sim_fixture.h"
#include "ui/main/form_main.h"
#include "ui/tools/form_log.h"
#include "ui/tools/form_scan.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>

#include <QTableWidget>
#include <chrono>

namespace {

std::vector<int> Addresses(const ScanOutcome& o) {
    std::vector<int> out;
    for (const ScanHit& h : o.hits)
        out.push_back(h.address);
    return out;
}

} // namespace

TEST_F(SimFixture, ScanFindsExactlyTheDrivesPresent) {
    bus->setAddresses({1, 5, 31});
    ScanOutcome outcome = ScanBus(*port, nullptr);
    EXPECT_EQ(Addresses(outcome), (std::vector<int>{1, 5, 31}));
    EXPECT_FALSE(outcome.cancelled);
    for (const ScanHit& h : outcome.hits) {
        EXPECT_FALSE(h.release.empty());
        EXPECT_GE(h.milliseconds, 0.0);
    }
}

TEST_F(SimFixture, ScanSkipsSilentAddressesWithinItsBound) {
    WaitScale = 1.0; // the real time-out, to check the bound
    bus->setAddresses({});
    auto start = std::chrono::steady_clock::now();
    ScanOutcome outcome = ScanBus(*port, nullptr);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_TRUE(outcome.hits.empty());
    EXPECT_LT(seconds, 32 * ScanTimeoutSeconds + 1.0);
}

TEST_F(SimFixture, ScanCancelsCleanlyAndReportsPortErrors) {
    ScanOutcome outcome = ScanBus(*port, [](int address) { return address < 3; });
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_EQ(Addresses(outcome), (std::vector<int>{0, 1, 2}));
    EXPECT_FALSE(BusOperation::busy());

    port->setOpenFailure("Device or resource busy");
    outcome = ScanBus(*port, nullptr);
    EXPECT_NE(outcome.portError.find("Device or resource busy"), std::string::npos);
    EXPECT_TRUE(outcome.hits.empty());
}

TEST_F(SimFixture, ScanWindowListsDrivesAndDoubleClickChoosesAnAddress) {
    bus->setAddresses({2, 7});
    int chosen = -1;
    Form_Scan window([&](int a) { chosen = a; });
    window.StartScan();
    auto* table = window.findChild<QTableWidget*>("Grid_Scan");
    ASSERT_EQ(table->rowCount(), 2);
    EXPECT_EQ(table->item(1, 0)->text(), "7");
    emit table->cellDoubleClicked(1, 0);
    EXPECT_EQ(chosen, 7);

    BusOperation other; // another window's operation: the scan is refused with a beep
    window.StartScan();
    EXPECT_EQ(prompts->beeps, 1);
    EXPECT_EQ(table->rowCount(), 2);
}

TEST_F(SimFixture, MainWindowToolsMenuOpensTheScanAndTheLogInItsLanguage) {
    bus->setAddresses({4, 9});
    Form_main window;
    for (int16_t lingua : {1, 2, 3}) {
        Module1::Lingua = lingua;
        window.SetLingua();
        const char* expected[] = {"S&trumenti", "&Tools", "&Werkzeuge"};
        EXPECT_EQ(window.findChild<QMenu*>("MenuTools")->title(), expected[lingua - 1]);
    }
    Module1::Lingua = 2;
    window.SetLingua();
    window.findChild<QAction*>("VoceScan")->trigger();
    auto* scan = window.findChild<Form_Scan*>();
    ASSERT_NE(scan, nullptr);
    auto* table = scan->findChild<QTableWidget*>("Grid_Scan");
    ASSERT_EQ(table->rowCount(), 2);
    emit table->cellDoubleClicked(1, 0);
    EXPECT_EQ(Module1::Indirizzo, 9);
    EXPECT_EQ(window.findChild<QComboBox*>("Combo_Addr")->currentText(), "9");
    scan->close();

    window.findChild<QAction*>("VoceLog")->trigger();
    auto* log = window.findChild<Form_Log*>();
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(log->windowTitle(), "Communication log");
    log->close();
}
