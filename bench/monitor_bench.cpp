// The live monitor against kmd-sim --line-time at 9600 baud with all four reads: the highest poll
// rate it reaches beside what the line time allows, and the longest stall of the user interface
// while it polls at its top rate and main-window buttons are pressed.
#include "app/module1.h"
#include "bench_support.h"
#include "line/driveline.h"
#include "line/drivemonitor.h"
#include "line/qtserialport.h"
#include "ui/common/prompts.h"
#include "ui/main/form_main.h"
#include "ui/tools/form_monitor.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {

// Nobody is there to close a message box: one that would open (the monitor failed, say) is
// printed instead, and the bench carries on and fails at its end instead of waiting forever.
class BenchPrompts : public Prompts {
  public:
    void message(QWidget*, const QString& title, const QString& text, bool) override {
        std::fprintf(stderr, "message box: %s: %s\n", qPrintable(title), qPrintable(text));
        ++shown;
    }
    bool question(QWidget*, const QString&, const QString&) override { return false; }
    QString input(QWidget*, const QString&, const QString&) override { return QString(); }
    void beep() override {}
    QString openFileName(QWidget*, const QString&) override { return QString(); }
    QString saveFileName(QWidget*, const QString&) override { return QString(); }
    bool printDialog(QWidget*, QPrinter&) override { return false; }
    void printPreview(QWidget*, QPrinter&, const std::function<void(QPrinter*)>&) override {}
    int runDialog(QDialog&) override { return 0; }
    int shown = 0;
};

void RunFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Where a poll's time went: from each frame handed to the system to its reply (the line's,
// the drive's and the machine's part), and the rest (the program's own between a reply and the
// next frame).
struct PollTime {
    int exchanges = 0;
    double awaiting = 0;
};

// Polls per second reached over `ms` at the given rate (0: as fast as the line allows).
double Reached(DriveLine& line, double rate, int ms, int& misses, PollTime* spent = nullptr) {
    DriveMonitor monitor(line);
    monitor.setRate(rate);
    monitor.start(LineTarget{}, 1);
    RunFor(500); // settle
    const size_t before = monitor.samples().size();
    double sentAt = 0;
    int observer = line.addObserver([&](const TrafficEvent& e) {
        if (e.kind == TrafficEvent::Sent) sentAt = WallSeconds();
        if (e.kind == TrafficEvent::Received && spent && sentAt > 0) {
            ++spent->exchanges;
            spent->awaiting += WallSeconds() - sentAt;
        }
    });
    const double start = WallSeconds();
    RunFor(ms);
    const double seconds = WallSeconds() - start;
    line.removeObserver(observer);
    const size_t polls = monitor.samples().size() - before;
    misses = monitor.misses();
    monitor.stop();
    RunFor(100);
    return static_cast<double>(polls) / seconds;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    BenchPrompts prompts;
    SetUiPrompts(&prompts);
    KmdSim sim({"--line-time"});
    if (!sim.ready()) {
        std::fprintf(stderr, "kmd-sim did not start\n");
        return 1;
    }
    QtSerialPort port;
    DriveLine line(port);
    Form_main main(line); // its load sets 9600 baud, COM1
    main.SelectAddress(1);

    // Every poll puts 4 frames of 4 bytes and replies of 8 + 5 + 5 + 6 bytes on the line, one after
    // the other, and each reply comes a turnaround after its frame; kmd-sim paces both directions
    // and answers after its default turnaround of 2 ms. That is the least time a poll can take.
    int replyBytes = 0;
    for (const MonitorCommand& c : MonitorCommands)
        replyBytes += c.nrx;
    const int bytes = 4 * 4 + replyBytes;
    const double turnaround = 0.002;
    const double allowed = 1.0 / (bytes * 10.0 / 9600.0 + 4 * turnaround);
    const double bytesAlone = 9600.0 / (10.0 * bytes);
    int missesFast = 0, missesTop = 0;
    PollTime spent;
    const double fastest = Reached(line, 0, 5000, missesFast, &spent);
    const double top = Reached(line, 20, 5000, missesTop);
    std::printf("the line allows %.1f polls/s (%d bytes a poll at 9600 baud and 4 turnarounds of %.0f ms; "
                "the bytes alone %.1f polls/s)\n",
                allowed, bytes, turnaround * 1000.0, bytesAlone);
    std::printf("unpaced: %.1f polls/s (%d misses); at the top setting of 20/s: %.1f polls/s (%d misses)\n",
                fastest, missesFast, top, missesTop);
    if (spent.exchanges > 0) {
        const double perExchange = 1.0 / fastest / 4; // seconds
        const double awaiting = spent.awaiting / spent.exchanges;
        const double lineShare = 1.0 / allowed / 4;
        std::printf("unpaced, per read: %.2f ms, of which %.2f ms from the frame handed over to the whole "
                    "reply (the line's share %.2f ms) and %.2f ms the program's own\n",
                    perExchange * 1000.0, awaiting * 1000.0, lineShare * 1000.0,
                    (perExchange - awaiting) * 1000.0);
    }
    std::printf("RESULT monitor_polls_per_s %.1f (line allows %.1f; goal >= %.1f)\n", fastest, allowed,
                0.9 * allowed);
    std::printf("RESULT monitor_line_ratio %.2f (goal >= 0.90)\n", fastest / allowed);

    // The window at its top rate, charts drawn, while buttons of the main window are pressed.
    Form_Monitor window(line);
    window.show();
    main.show();
    auto* rate = window.findChild<QComboBox*>("Combo_Rate");
    rate->setCurrentIndex(rate->findText("20"));
    window.findChild<QPushButton*>("Command_MonitorStart")->click();
    RunFor(1000);

    const char* buttons[] = {"Command_LetturaPos", "Command_Reset", "Command_LowNoiseON",
                             "Command_LowNoiseOFF", "Command_Stop"};
    int pressed = 0, answered = 0;
    QTimer presser;
    QObject::connect(&presser, &QTimer::timeout, [&] {
        auto* b = main.findChild<QPushButton*>(buttons[pressed % 5]);
        ++pressed;
        b->click(); // runs the whole command, waiting for the line and the reply
        const QString rx = main.findChild<QLineEdit*>("TextRx")->text();
        if (!rx.isEmpty() && !rx.contains("timeout")) ++answered;
    });

    QElapsedTimer clock;
    qint64 last = 0, longest = 0;
    double lastCpu = CpuSeconds(), longestCpuMs = 0; // CPU used during the longest gap
    std::vector<double> gaps;
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        const double cpu = CpuSeconds();
        if (now - last > longest) {
            longest = now - last;
            longestCpuMs = (cpu - lastCpu) * 1000.0;
        }
        gaps.push_back(static_cast<double>(now - last));
        last = now;
        lastCpu = cpu;
    });
    const size_t before = window.monitor().samples().size();
    clock.start();
    heartbeat.start(5);
    presser.start(250);
    const double start = WallSeconds();
    RunFor(8000);
    const double seconds = WallSeconds() - start;
    presser.stop();
    heartbeat.stop();
    const double during = static_cast<double>(window.monitor().samples().size() - before) / seconds;
    window.findChild<QPushButton*>("Command_MonitorStop")->click();

    std::printf("with the window at 20/s: %.1f polls/s while %d buttons were pressed, %d answered, "
                "%d misses\n",
                during, pressed, answered, window.monitor().misses());
    const auto over = std::count_if(gaps.begin(), gaps.end(), [](double g) { return g > 50; });
    std::printf("heartbeat gaps (5 ms timer): median %.0f ms, p99 %.0f ms, %ld of %zu over 50 ms\n",
                Percentile(gaps, 50), Percentile(gaps, 99), static_cast<long>(over), gaps.size());
    // A stall with little CPU used in it is the machine's scheduler, not the program's work.
    std::printf("the longest gap used %.0f ms of CPU in the process\n", longestCpuMs);
    std::printf("RESULT monitor_ui_stall_ms %lld (goal <= 50)\n", longest);
    return answered == pressed && prompts.shown == 0 ? 0 : 1;
}
