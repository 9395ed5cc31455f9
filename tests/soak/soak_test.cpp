// Long runs against the simulated line: no failure, and no memory growth once warmed up (the
// communication log filled to its capacity included).
#include "app/module1.h"
#include "catalog/catalog.h"
#include "editor/linecodec.h"
#include "editor/transfer.h"
#include "link/buswait.h"
#include "sim_fixture.h"
#include "ui/main/form_main.h"
#include "ui/tools/form_log.h"

#include <climits>
#include <cstdio>
#include <fstream>
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
        WaitScale = 0.01;
        ProgramTrafficLog(); // recording, as in the program
    }
};

} // namespace

TEST_F(Soak, TenThousandMainWindowTransactions) {
    Form_main window;
    Module1::Indirizzo = 1;
    auto run = [&](int count) {
        int failures = 0;
        for (int i = 0; i < count; ++i)
            failures +=
                (i % 3 == 0 ? window.TxRxSeriale(1, 18, 0, 0, 1, 8, 0)
                            : window.TxRxSeriale(1, 168, 1000 + i % 11000, 0, 3, 1, 0)) != Outcome::Reply;
        return failures;
    };
    ASSERT_EQ(run(6000), 0); // warm-up: the log reaches its capacity
    long before = ResidentKiB();
    EXPECT_EQ(run(10000), 0);
    long growth = ResidentKiB() - before;
    std::printf("[ figures  ] 10000 transactions, resident memory growth %ld KiB\n", growth);
    EXPECT_LT(growth, MemoryBoundKiB);
}

TEST_F(Soak, AThousandProgramLinesTransferred) {
    Module1::InitComandi();
    Module1::Indirizzo = 1;
    PrgStore store{};
    for (int p = 0; p < NumPrograms; ++p)
        for (int l = 0; l < 30; ++l)
            store[p][l] = StringaCmd(168, 100 * p + l, 0, 0, 3);
    std::string status;
    TransferIo io = HeadlessIo(status);

    SendPrg(store, 99, io); // warm-up: 510 lines
    ASSERT_EQ(status.find("ERROR"), std::string::npos) << status;
    long before = ResidentKiB();
    for (int round = 0; round < 2; ++round) { // 1020 lines
        SendPrg(store, 99, io);
        ASSERT_EQ(status.find("ERROR"), std::string::npos) << status;
    }
    long growth = ResidentKiB() - before;
    std::printf("[ figures  ] 1020 program lines, resident memory growth %ld KiB\n", growth);
    EXPECT_LT(growth, MemoryBoundKiB);
    for (int p = 0; p < NumPrograms; ++p)
        ASSERT_EQ(bus->program(1, p).size(), 30u);
}
