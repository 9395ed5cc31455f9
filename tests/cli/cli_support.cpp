#include "cli_support.h"

#include "link/frame.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

void StartCli(QProcess& p, const QStringList& args, const QString& dir) {
    p.setWorkingDirectory(dir);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", dir + "/settings");
    p.setProcessEnvironment(env);
    p.start(VARDELO_CLI_PATH, args);
    p.waitForStarted(10000);
}

CliRun FinishCli(QProcess& p) {
    CliRun run;
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        return run;
    }
    run.exit = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.out = QString::fromUtf8(p.readAllStandardOutput());
    run.err = QString::fromUtf8(p.readAllStandardError());
    return run;
}

CliRun RunCli(const QStringList& args, const QString& dir) {
    QProcess p;
    QElapsedTimer clock;
    clock.start();
    StartCli(p, args, dir);
    CliRun run = FinishCli(p);
    run.milliseconds = clock.elapsed();
    return run;
}

LineTap::LineTap(const QString& dir) : link_(dir + "/com2") {
    int m = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m < 0 || ::grantpt(m) != 0 || ::unlockpt(m) != 0) return;
    const char* name = ::ptsname(m);
    // Held open, so what the program wrote stays readable after it closed the port.
    int s = name ? ::open(name, O_RDWR | O_NOCTTY) : -1;
    if (s < 0 || ::symlink(name, link_.toLocal8Bit().constData()) != 0) {
        ::close(m);
        if (s >= 0) ::close(s);
        return;
    }
    termios tio{};
    ::tcgetattr(s, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(s, TCSANOW, &tio);
    ::fcntl(m, F_SETFL, ::fcntl(m, F_GETFL) | O_NONBLOCK);
    master_ = m;
    slave_ = s;
}

LineTap::~LineTap() {
    if (master_ < 0) return;
    ::unlink(link_.toLocal8Bit().constData());
    ::close(slave_);
    ::close(master_);
}

std::string LineTap::take() {
    std::string bytes;
    char buf[256];
    for (ssize_t n; (n = ::read(master_, buf, sizeof buf)) > 0;)
        bytes.append(buf, static_cast<size_t>(n));
    return Module1::StringaHex(bytes);
}
