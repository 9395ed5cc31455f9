#pragma once
// vardelo-cli run as a script runs it, and a serial line to watch what it writes.
#include <QString>
#include <QStringList>
#include <string>

struct CliRun {
    int exit = -1;
    QString out, err;
    qint64 milliseconds = 0;
};

class QProcess;

// Runs vardelo-cli in `dir` with its own empty application settings (never the user's).
CliRun RunCli(const QStringList& args, const QString& dir);
// Starts it the same way, for a test that acts while it runs; Finish waits for its end.
void StartCli(QProcess& process, const QStringList& args, const QString& dir);
CliRun FinishCli(QProcess& process);

// A pseudo-terminal linked as `dir`/com2 that nobody answers on: a silent drive, and the bytes
// the program put on the line.
class LineTap {
  public:
    explicit LineTap(const QString& dir);
    ~LineTap();
    bool ready() const { return master_ >= 0; }
    // Everything written since the last call, as hex text (" FC 00 01 11 F1"); "" for nothing.
    std::string take();

  private:
    int master_ = -1;
    int slave_ = -1;
    QString link_;
};
