// Long runs against the simulated line: no failure, and no memory growth once warmed up (the
// communication log filled to its capacity included).
#include "app/module1.h"
#include "jobs/transfer.h"
#include "line/driveline.h"
#include "protocol/catalog.h"
#include "protocol/linecodec.h"
#include "sim_fixture.h"
#include "ui/main/form_main.h"
#include "ui/tools/form_log.h"

#include <climits>
#include <cstdio>
#include <fstream>
#include <functional>
#include <unistd.h>

namespace {

// The sanitizers hold freed memory back on purpose, so resident memory says nothing there
// (LeakSanitizer checks for leaks instead).
#if defined(__SANITIZE_ADDRESS__)
constexpr long MemoryBoundKiB = LONG_MAX;
#else
constexpr long MemoryBoundKiB = 1024;
#endif

long ResidentKiB() {
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

class Soak : public SimFixture {
  protected:
    void SetUp() override {
        SimFixture::SetUp();
        line->setWaitScale(0.01);
        log = std::make_unique<TrafficLog>(*line); // recording, as in the program
        Module1::Indirizzo = 1;
    }
    void TearDown() override {
        log.reset();
        SimFixture::TearDown();
    }
    std::unique_ptr<TrafficLog> log;
    // Runs `load` once to warm up, then `rounds` times more: each run succeeds, and resident
    // memory grows no more than the bound over the rounds.
    void Endure(const char* what, int rounds, const std::function<bool()>& load) {
        ASSERT_TRUE(load()) << "warm-up";
        const long before = ResidentKiB();
        for (int round = 0; round < rounds; ++round)
            ASSERT_TRUE(load()) << "round " << round;
        const long growth = ResidentKiB() - before;
        std::printf("[ figures  ] %s, resident memory growth %ld KiB\n", what, growth);
        EXPECT_LT(growth, MemoryBoundKiB);
    }
};

} // namespace

TEST_F(Soak, TenThousandMainWindowTransactions) {
    Form_main window(*line);
    // 5000 transactions a run: the warm-up fills the log to its capacity.
    Endure("10000 transactions", 2, [&] {
        for (int i = 0; i < 5000; ++i)
            if ((i % 3 == 0 ? window.TxRxSeriale(1, 18, 0, 0, 1, 8, 0)
                            : window.TxRxSeriale(1, 168, 1000 + i, 0, 3, 1, 0)) != Outcome::Reply)
                return false;
        return true;
    });
}

TEST_F(Soak, AThousandProgramLinesTransferred) {
    Module1::InitComandi();
    PrgStore store{};
    for (int p = 0; p < NumPrograms; ++p)
        for (int l = 0; l < 30; ++l)
            store[p][l] = StringaCmd(168, 100 * p + l, 0, 0, 3);
    std::string status;
    TransferIo io = HeadlessIo(*line, status);
    io.drive.address = 1;
    Endure("1020 program lines", 2, [&] { return SendPrg(store, 99, io).ok; }); // 510 lines a run
    for (int p = 0; p < NumPrograms; ++p)
        ASSERT_EQ(bus->program(1, p).size(), 30u);
}
