#pragma once
// What a run of vardelo-cli tells: text for people, or one JSON object for scripts. Every frame
// and reply on the line is recorded as it happens; a progress line is kept on a terminal.
#include "cli/cli_args.h"

#include <QJsonArray>
#include <QJsonObject>
#include <string>

class DriveLine;

class CliReport {
  public:
    explicit CliReport(const CliOptions& options);
    // Reports what goes over `line` (the frames and replies of --verbose and --json).
    void watch(DriveLine& line);
    ~CliReport();
    CliReport(const CliReport&) = delete;
    CliReport& operator=(const CliReport&) = delete;

    // A line of the plain-text output (nothing with --json or --quiet).
    void say(const std::string& line);
    // A field of the JSON object.
    void set(const char* key, const QJsonValue& value);
    void add(const char* arrayKey, const QJsonValue& item);

    // The progress line on a terminal: `what`, done out of total.
    void progress(const std::string& what, int done, int total);

    // The run's end: the error text (empty when done) and the exit status. Prints the JSON
    // object, or the error on standard error; returns `exit`.
    int finish(CliExit exit, const std::string& error = {});

    // Port trouble seen on the line (the port could not be opened or was lost).
    bool portFailed() const { return !portError_.empty(); }
    const std::string& portError() const { return portError_; }
    // The error text for port trouble: "port <reason>", or, when the adapter went away during
    // the run, a plain "port lost: the serial adapter was disconnected (<reason>)".
    std::string portTrouble() const;
    // The last exchange ended without a complete reply / its reply.
    bool lastTimedOut() const;
    std::string lastReply() const;

  private:
    void observe(int kind, const std::string& bytes, const std::string& text);
    void clearProgress();

    const CliOptions& options_;
    QJsonObject json_;
    QJsonArray exchanges_;
    bool progressShown_ = false;
    bool terminal_ = false;
    std::string portError_;
    bool linkLost_ = false;
};

// The error text for a port that could not be used: `lost` when it went away after opening.
std::string PortTroubleText(const std::string& error, bool lost);
