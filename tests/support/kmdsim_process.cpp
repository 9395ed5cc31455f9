#include "kmdsim_process.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>

KmdSimProcess::KmdSimProcess(const QStringList& args) {
    oldDir_ = QDir::currentPath();
    QDir::setCurrent(dir_.path()); // ./com1 is looked up in the working directory
    process_.setWorkingDirectory(dir_.path());
    process_.start(KMD_SIM_PATH, args);
    if (!process_.waitForStarted(5000)) return;
    QDeadlineTimer deadline(5000);
    QByteArray out;
    while (!out.contains("serving") && process_.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
        out += process_.readAllStandardOutput();
    ready_ = out.contains("serving") && QFileInfo(dir_.filePath("com1")).exists();
}

KmdSimProcess::~KmdSimProcess() {
    process_.write("quit\n");
    if (!process_.waitForFinished(5000)) process_.kill();
    QDir::setCurrent(oldDir_);
}

bool KmdSimProcess::control(const QString& line) {
    process_.readAllStandardOutput();
    post(line);
    // kmd-sim may print notes ("kmd-sim: ...") before its answer line "ok" or "error ...".
    QByteArray out;
    QDeadlineTimer deadline(5000);
    while (process_.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
        out += process_.readAllStandardOutput();
        for (const QByteArray& line : out.split('\n')) {
            if (line == "ok") return true;
            if (line.startsWith("error")) return false;
        }
    }
    return false;
}

void KmdSimProcess::post(const QString& line) {
    process_.write((line + "\n").toUtf8());
    process_.waitForBytesWritten(1000);
}
