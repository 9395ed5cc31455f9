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

bool KmdSimProcess::control(const QString& line, QStringList* printed) {
    // Lines posted earlier are answered first, in order: their answers are not this one's.
    const int skip = unanswered_;
    post(line);
    // kmd-sim may print notes ("kmd-sim: ...") before its answer line "ok" or "error ...".
    QByteArray out;
    QDeadlineTimer deadline(5000);
    int answers = 0;
    do {
        out += process_.readAllStandardOutput();
        int nl;
        while ((nl = out.indexOf('\n')) >= 0) {
            const QByteArray answer = out.left(nl);
            out.remove(0, nl + 1);
            if (answer != "ok" && !answer.startsWith("error")) {
                if (printed && answers == skip) printed->append(QString::fromUtf8(answer));
                continue;
            }
            --unanswered_;
            if (answers++ == skip) return answer == "ok";
        }
    } while (process_.waitForReadyRead(static_cast<int>(deadline.remainingTime())));
    return false;
}

void KmdSimProcess::post(const QString& line) {
    ++unanswered_;
    process_.write((line + "\n").toUtf8());
    process_.waitForBytesWritten(1000);
}
