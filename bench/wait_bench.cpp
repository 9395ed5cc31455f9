// CPU used while waiting 1 s for a port that stays silent: the project's event-driven wait
// against a loop that spins on processEvents until the deadline.
#include "drivebus.h"
#include "line/driveline.h"
#include "protocol/frame.h"
#include "simulatedport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <ctime>

namespace {

double CpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

struct Figure {
    double cpu = 0, wall = 0;
};

template <typename Wait> Figure Measure(SerialPort& port, Wait wait) {
    port.write(BytesOfHexText("FC 21 01 E1")); // a frame nobody answers
    QElapsedTimer wall;
    wall.start();
    double cpu = CpuSeconds();
    wait();
    return {CpuSeconds() - cpu, static_cast<double>(wall.nsecsElapsed()) / 1e9};
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    DriveBus bus;
    bus.setFault(DriveBus::Fault::Silent);
    SimulatedPort port(bus);
    port.open();
    DriveLine line(port);

    const int runs = 3;
    Figure event, spin;
    std::printf("wait_bench: 1 s wait for one reply byte from a silent drive (%d runs)\n", runs);
    for (int i = 0; i < runs; ++i) {
        Figure e = Measure(port, [&] { line.waitForBytes(1, 1.0); });
        Figure s = Measure(port, [&] {
            QElapsedTimer t;
            t.start();
            while (t.elapsed() < 1000 && port.bytesWaiting() < 1)
                QCoreApplication::processEvents();
        });
        std::printf(
            "  run %d: WaitForBytes %.4f s CPU over %.3f s, processEvents loop %.4f s CPU over %.3f s\n",
            i + 1, e.cpu, e.wall, s.cpu, s.wall);
        event.cpu += e.cpu;
        spin.cpu += s.cpu;
    }
    double ratio = spin.cpu > 0 ? event.cpu / spin.cpu : 0;
    std::printf("WaitForBytes CPU per 1 s wait:      %.4f s\n", event.cpu / runs);
    std::printf("processEvents loop CPU per 1 s wait: %.4f s\n", spin.cpu / runs);
    std::printf("ratio: %.4f (goal <= 0.02)\n", ratio);
    std::printf("RESULT wait_cpu_ratio %.4f (goal <= 0.02)\n", ratio);
    return 0;
}
