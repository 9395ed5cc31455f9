// CPU used while the serial adapter is unplugged: the port is open on kmd-sim's pseudo-terminal,
// the terminal vanishes, and the program sits in its event loop for two seconds.
#include "app/module1.h"
#include "bench_support.h"
#include "line/qtserialport.h"

#include <QCoreApplication>
#include <QTimer>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    KmdSim sim;
    if (!sim.ready()) {
        std::fprintf(stderr, "kmd-sim did not start\n");
        return 1;
    }
    QtSerialPort port;
    port.setPortNumber(1);
    port.setSettings("9600,N,8,1");
    if (!port.open()) {
        std::fprintf(stderr, "open failed: %s\n", port.errorText().c_str());
        return 1;
    }
    int losses = 0;
    QObject::connect(&port, &SerialPort::linkLost, [&] { ++losses; });
    sim.say("vanish");

    double cpu0 = CpuSeconds(), wall0 = WallSeconds();
    QTimer::singleShot(2000, &app, &QCoreApplication::quit);
    app.exec();
    double cpu = CpuSeconds() - cpu0, wall = WallSeconds() - wall0;
    std::printf("unplugged adapter: %d link-lost report(s), CPU %.3f s in %.2f s\n", losses, cpu, wall);
    std::printf("RESULT unplugged_cpu_percent %.2f (goal < 2)\n", 100.0 * cpu / wall);
    return 0;
}
