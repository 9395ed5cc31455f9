#pragma once
// kmd-sim in a temporary working directory (which becomes the current one while it lives),
// serving ./com1 on a pseudo-terminal, driven through its control lines.
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

class KmdSimProcess {
  public:
    explicit KmdSimProcess(const QStringList& args = {"--com", "1"});
    ~KmdSimProcess();

    bool ready() const { return ready_; }
    QString dir() const { return dir_.path(); }
    // Sends one control line ("fault silent", "vanish", ...) and waits for kmd-sim's answer;
    // true when it said "ok". The lines it printed before its answer go to `printed`.
    bool control(const QString& line, QStringList* printed = nullptr);
    // Sends a control line without waiting (from inside an operation's wait).
    void post(const QString& line);

  private:
    QTemporaryDir dir_;
    QString oldDir_;
    QProcess process_;
    bool ready_ = false;
    int unanswered_ = 0; // lines sent whose answer has not been read
};
