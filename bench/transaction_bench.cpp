// Transaction time over a pseudo-terminal against kmd-sim at 9600 baud, as overhead above the
// reply's line time, with the communication log window closed and open.
#include "app/module1.h"
#include "bench_support.h"
#include "line/driveline.h"
#include "line/qtserialport.h"
#include "protocol/catalog.h"
#include "ui/tools/form_log.h"

#include <QApplication>

namespace {

struct Figures {
    double median, p99;
};

Figures Measure(DriveLine& line, int count) {
    std::vector<double> overheadMs;
    for (int i = 0; i < count; ++i) {
        // Alternate a plain command (1 reply byte) and the position read (8 reply bytes).
        bool read = i % 2;
        int nrx = read ? 8 : 1;
        double start = WallSeconds();
        Exchange ex = line.counted(LineTarget{}, 1, read ? 18 : 1, 0, 0, 1, nrx, 0);
        double elapsed = WallSeconds() - start;
        if (ex.outcome != Outcome::Reply) {
            std::fprintf(stderr, "transaction %d failed: %s\n", i, ex.error.c_str());
            continue;
        }
        double lineTime = nrx * 10.0 / LineTarget{}.baud;
        overheadMs.push_back((elapsed - lineTime) * 1000.0);
    }
    return {Percentile(overheadMs, 50), Percentile(overheadMs, 99)};
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    KmdSim sim({"--line-time"});
    if (!sim.ready()) {
        std::fprintf(stderr, "kmd-sim did not start\n");
        return 1;
    }
    Module1::InitComandi();
    QtSerialPort port;
    DriveLine line(port);
    const int count = argc > 1 ? std::atoi(argv[1]) : 400;

    Measure(line, 20); // warm-up
    {
        std::vector<double> openMs, closeMs;
        for (int i = 0; i < 100; ++i) {
            double t0 = WallSeconds();
            port.setPortNumber(1);
            port.setSettings("9600,N,8,1");
            port.open();
            double t1 = WallSeconds();
            port.close();
            double t2 = WallSeconds();
            openMs.push_back((t1 - t0) * 1000);
            closeMs.push_back((t2 - t1) * 1000);
        }
        std::printf("  port open: median %.2f ms, close: median %.2f ms\n", Percentile(openMs, 50),
                    Percentile(closeMs, 50));
    }
    Figures closed = Measure(line, count);
    TrafficLog log(line);
    ShowCommunicationLog(nullptr, log);
    Figures open = Measure(line, count);

    std::printf("transaction overhead above line time, 9600 baud, %d transactions each\n", count);
    std::printf("  log closed: median %.2f ms, 99th percentile %.2f ms\n", closed.median, closed.p99);
    std::printf("  log open:   median %.2f ms, 99th percentile %.2f ms\n", open.median, open.p99);
    std::printf("RESULT transaction_median_ms %.2f (goal < 2)\n", closed.median);
    std::printf("RESULT transaction_p99_ms %.2f (goal < 10)\n", closed.p99);
    std::printf("RESULT log_open_median_ms %.2f (closed %.2f)\n", open.median, closed.median);
    return 0;
}
