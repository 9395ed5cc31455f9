#pragma once
// Shared pieces of the benchmark programs: kmd-sim on a pseudo-terminal, CPU time, statistics.
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

// kmd-sim serving ./com1 in a temporary working directory, which becomes the current one.
class KmdSim {
  public:
    explicit KmdSim(const QStringList& args = {}) {
        QDir::setCurrent(dir_.path());
        process_.setWorkingDirectory(dir_.path());
        process_.start(KMD_SIM_PATH, args);
        process_.waitForStarted(5000);
        for (int i = 0; i < 100 && !QFileInfo::exists(dir_.filePath("com1")); ++i)
            QThread::msleep(20);
    }
    ~KmdSim() {
        process_.terminate();
        process_.waitForFinished(3000);
    }
    void say(const char* line) {
        process_.write(QByteArray(line) + "\n");
        process_.waitForBytesWritten(1000);
        process_.waitForReadyRead(1000);
        process_.readAll();
    }
    bool ready() const { return QFileInfo::exists(dir_.filePath("com1")); }
    QProcess& process() { return process_; }

  private:
    QTemporaryDir dir_;
    QProcess process_;
};

inline double CpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + ts.tv_nsec / 1e9;
}

inline double WallSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + ts.tv_nsec / 1e9;
}

inline double Percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    size_t k = static_cast<size_t>(p / 100.0 * static_cast<double>(v.size() - 1) + 0.5);
    return v[std::min(k, v.size() - 1)];
}

// Resident memory of this process in KiB.
inline long ResidentKiB() {
    FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return 0;
    char line[256];
    long kib = 0;
    while (std::fgets(line, sizeof line, f))
        if (std::sscanf(line, "VmRSS: %ld kB", &kib) == 1) break;
    std::fclose(f);
    return kib;
}
