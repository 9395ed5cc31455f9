// The longest stall of the user interface's event loop while a whole store of programs goes to
// kmd-sim over a pseudo-terminal, measured with a 5 ms heartbeat timer.
#include "app/module1.h"
#include "bench_support.h"
#include "jobs/transfer.h"
#include "line/driveline.h"
#include "line/qtserialport.h"
#include "protocol/catalog.h"
#include "protocol/linecodec.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

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

    const int linesPerProgram = argc > 1 ? std::atoi(argv[1]) : 4;
    PrgStore store{};
    for (int p = 0; p < NumPrograms; ++p)
        for (int l = 0; l < linesPerProgram; ++l)
            store[p][l] = StringaCmd(168, 1000 + l, 0, 0, 3);

    std::string status;
    TransferIo io = HeadlessIo(line, status);
    io.drive.address = 1;

    QElapsedTimer clock;
    qint64 last = 0, longest = 0, beats = 0;
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        qint64 now = clock.elapsed();
        longest = std::max(longest, now - last);
        last = now;
        ++beats;
    });
    clock.start();
    heartbeat.start(5);
    double start = WallSeconds();
    SendPrg(store, 99, io);
    double elapsed = WallSeconds() - start;
    heartbeat.stop();

    bool ok = status.find("ERROR") == std::string::npos;
    std::printf("full transfer of 17 x %d lines: %.1f s, %s, %lld heartbeats\n", linesPerProgram, elapsed,
                ok ? "all acknowledged" : "ERROR in status", beats);
    std::printf("RESULT ui_longest_stall_ms %lld (goal < 50)\n", longest);
    return ok ? 0 : 1;
}
