// Start-up to the shown main window and its resident memory, next to a minimal Qt window
// measured the same way in the same run. Each start is a fresh process, timed from its launch
// to the end of its first paint (the monotonic clock is the same in both processes); what the process
// does after it has shown the window, closing down, is not start-up.
#include "bench_support.h"
#include "line/driveline.h"
#include "line/qtserialport.h"
#include "ui/main/form_main.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QTimer>

namespace {

// Prints the resident memory once the window has painted, then ends the process.
class ShownProbe : public QObject {
  public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !done_) {
            done_ = true;
            // Timed once the whole window has painted, not as its first paint begins.
            QTimer::singleShot(0, [] {
                const double shownAt = WallSeconds();
                std::printf("shown %ld %.6f\n", ResidentKiB(), shownAt);
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return false;
    }

  private:
    bool done_ = false;
};

int Child(int argc, char** argv, bool full) {
    QApplication app(argc, argv);
    ShownProbe probe;
    QtSerialPort port;
    DriveLine line(port);
    if (full) {
        Form_main window(line);
        window.installEventFilter(&probe);
        window.show();
        return QApplication::exec();
    }
    QMainWindow window;
    window.setCentralWidget(new QLabel("VarDelo"));
    window.installEventFilter(&probe);
    window.show();
    return QApplication::exec();
}

struct Start {
    double ms;
    long kib;
};

Start Measure(const QString& self, const char* mode, const QString& workDir) {
    QProcess p;
    p.setWorkingDirectory(workDir);
    double t0 = WallSeconds();
    p.start(self, {mode});
    p.waitForFinished(30000);
    long kib = 0;
    double shownAt = 0;
    if (std::sscanf(p.readAllStandardOutput().constData(), "shown %ld %lf", &kib, &shownAt) != 2) {
        std::fprintf(stderr, "the %s window was not shown\n", mode);
        std::exit(1);
    }
    return {(shownAt - t0) * 1000.0, kib};
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    if (argc > 1 && std::string(argv[1]) == "main") return Child(argc, argv, true);
    if (argc > 1 && std::string(argv[1]) == "minimal") return Child(argc, argv, false);

    QCoreApplication app(argc, argv);
    QTemporaryDir work; // the program writes its configuration file where it starts
    const QString self = QCoreApplication::applicationFilePath();
    std::vector<double> mainMs, minimalMs;
    long mainKib = 0, minimalKib = 0;
    const int runs = 21; // a start takes tens of ms; the median of few moves with the machine
    for (int i = 0; i < runs; ++i) {
        Start m = Measure(self, "main", work.path());
        Start b = Measure(self, "minimal", work.path());
        mainMs.push_back(m.ms);
        minimalMs.push_back(b.ms);
        mainKib = m.kib;
        minimalKib = b.kib;
    }
    double mainMedian = Percentile(mainMs, 50), minimalMedian = Percentile(minimalMs, 50);
    std::printf("start-up to the shown window, median of %d: main window %.0f ms (%ld KiB), "
                "minimal Qt window %.0f ms (%ld KiB)\n",
                runs, mainMedian, mainKib, minimalMedian, minimalKib);
    std::printf("RESULT startup_time_ratio %.2f (goal < 1.5)\n", mainMedian / minimalMedian);
    std::printf("RESULT startup_memory_ratio %.2f (goal < 1.5)\n",
                minimalKib ? static_cast<double>(mainKib) / static_cast<double>(minimalKib) : 0.0);
    return 0;
}
