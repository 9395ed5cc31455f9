// vardelo-cli end to end: the program itself, against kmd-sim on a pseudo-terminal, or against
// a line nobody answers on whose bytes the test reads back.
#include "kmdsim_process.h"

#include "app/module1.h"
#include "model/prgfile.h"
#include "protocol/frame.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

namespace {

struct CliRun {
    int exit = -1;
    QString out, err;
};

// Starts vardelo-cli in `dir` with its own empty application settings (never the user's).
void StartCli(QProcess& p, const QStringList& args, const QString& dir) {
    p.setWorkingDirectory(dir);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", dir + "/settings");
    p.setProcessEnvironment(env);
    p.start(VARDELO_CLI_PATH, args);
    p.waitForStarted(10000);
}

CliRun FinishCli(QProcess& p) {
    if (!p.waitForFinished(120000)) p.kill(), p.waitForFinished(); // a crash exit: -1
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

// A pseudo-terminal linked as `dir`/com2 that nobody answers on: a silent drive, and the bytes
// the program put on the line.
class LineTap {
  public:
    explicit LineTap(const QString& dir) : link_((dir + "/com2").toStdString()) {
        // The far end is held open, so what the program wrote stays readable after it closed it.
        char name[128];
        int m = -1;
        if (::openpty(&m, &slave_, name, nullptr, nullptr) != 0 || ::symlink(name, link_.c_str()) != 0)
            return;
        termios tio{};
        ::tcgetattr(slave_, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(slave_, TCSANOW, &tio);
        ::fcntl(m, F_SETFL, ::fcntl(m, F_GETFL) | O_NONBLOCK);
        master_ = m;
    }
    ~LineTap() {
        ::unlink(link_.c_str());
        ::close(slave_);
        ::close(master_);
    }
    bool ready() const { return master_ >= 0; }
    // Everything written since the last call, as hex text (" FC 00 01 11 F1"); "" for nothing.
    std::string take() {
        std::string bytes;
        char buf[256];
        for (ssize_t n; (n = ::read(master_, buf, sizeof buf)) > 0;)
            bytes.append(buf, static_cast<size_t>(n));
        return Module1::StringaHex(bytes);
    }

  private:
    std::string link_;
    int master_ = -1, slave_ = -1;
};

class Cli : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(sim.ready()); }
    CliRun run(const QStringList& args) {
        QProcess p;
        StartCli(p, args, sim.dir());
        return FinishCli(p);
    }
    QString write(const char* name, const std::string& text) {
        QFile f(QDir(sim.dir()).filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(QByteArray::fromStdString(text)) >= 0);
        return f.fileName();
    }
    QJsonObject json(const QStringList& args) {
        return QJsonDocument::fromJson(run(args).out.toUtf8()).object();
    }

    KmdSimProcess sim;
};

const std::string Header = "KMD EEPROM FILE V1.0\r\n";
// Program 0: resolution 1/4, current 4000; program 3: relative -1000, stop.
const std::string TwoPrograms =
    Header + "--PRG0--\r\n26 02\r\nA8 0F A0\r\n--ENDPRG--\r\n--PRG3--\r\n31 FF FF FC 18\r\n"
             "11\r\n--ENDPRG--\r\n";

TEST_F(Cli, SendsEveryKindOfValueAndShowsTheReply) {
    const struct {
        QStringList args;
        const char *tx, *more;
    } cases[] = {
        {{"send", "3", "174", "-1000"}, "TX: FC A3 AE FF FF FC 18 A0\nRX: 06\n", ""},
        {{"send", "3", "0x12"}, "TX: FC 23 12 CE\n", "Present position:            -1000\n"},
        {{"send", "1", "34", "2.5"}, "TX: FC 41 22 02 9E\n", ""},                     // rounded half to even
        {{"send", "1", "160", "37", "1000"}, "TX: FC C1 A0 25 00 00 03 E8 92\n", ""}, // byte, quota
        {{"send", "1", "198", "12", "200"}, "TX: FC 61 C6 0C C8 08\n", ""},           // MIN, MAX
        {{"send", "1", "198", "3272"}, "TX: FC 61 C6 0C C8 08\n", ""},
        {{"send", "1", "16"}, "TX: FC 21 10 D2\n", "Software release:2.1\n"},
    };
    for (const auto& c : cases) {
        CliRun r = run(c.args);
        EXPECT_TRUE(r.exit == 0 && r.out.startsWith(c.tx) && r.out.endsWith(c.more) && r.err.isEmpty())
            << c.args.join(' ').toStdString() << "\n"
            << r.out.toStdString() << r.err.toStdString();
    }
}

// A broadcast awaits nothing, yet its frame has left the port when the program ends; a silent
// drive exits 1; bad arguments exit 2 and put nothing on the line.
TEST_F(Cli, OnALineNobodyAnswersOn) {
    LineTap line(sim.dir());
    ASSERT_TRUE(line.ready());
    CliRun r = run({"--port", "COM2", "send", "switchall", "17"});
    EXPECT_EQ(r.exit, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "TX: FC 00 01 11 F1\nRX: - no rx - switchall command\n"); // awaits nothing
    EXPECT_EQ(line.take(), " FC 00 01 11 F1");

    r = run({"--port", "COM2", "send", "1", "1"});
    EXPECT_EQ(r.out, "TX: FC 21 01 E1\nRX: - no rx - timeout\n");
    EXPECT_TRUE(r.exit == 1 && r.err.contains("drive 1 did not answer within 1 s")) << r.err.toStdString();
    EXPECT_EQ(line.take(), " FC 21 01 E1");

    const QString noHeader = write("lower.txt", "kmd eeprom file v1.0\r\n--PRG0--\r\n11\r\n");
    const QString badLine = write("bad.txt", Header + "--PRG2--\r\n11\r\nA8 0F\r\n--ENDPRG--\r\n");
    const QString empty = write("empty.txt", Header);
    const struct {
        QStringList args;
        const char* says;
    } cases[] = {
        {{"send", "1", "168", "12001"}, "12001 is outside 0..12000"},
        {{"send", "1", "238", "2.6"}, "command 238: 2.6 is outside 0..2"}, // as typed, not 2.600000
        {{"send", "1", "168", "-1e3"}, "-1000 is outside 0..12000"},
        {{"send", "1", "168", "-inf"}, "value -inf is not a number"},
        {{"send", "1", "168", "-NaN"}, "value -NaN is not a number"},
        {{"erase", "1", "3", "--no-verify"}, "belong to write-programs"},
        {{"write-programs", "1", "a.txt", "--verify", "--no-verify"}, "exclude each other"},
        {{"send", "1", "168", "3O00"}, "is not a number"},
        {{"send", "1", "17", "5"}, "takes no value"},
        {{"send", "1", "41", "8"}, "bits 3 and 7"},
        {{"send", "1", "160", "1"}, "two values"},
        {{"send", "1", "198", "256", "0"}, "0..255"},
        {{"send", "32", "1"}, "address 32"},
        {{"send", "1", "4"}, "not in the catalog"},
        {{"send", "1", "168", "100", "--fast"}, "belongs to write-programs"},
        {{"erase", "1", "17"}, "program 17"},
        {{"erase", "switchall", "all"}, "address switchall"},
        {{"write-programs", "1", "missing.txt"}, "cannot read missing.txt"},
        {{"write-programs", "1", noHeader}, "is not a program file"},
        {{"write-programs", "1", badLine}, "program 2 line 1 \"A8 0F\" is not a catalog command"},
        {{"write-programs", "1", empty}, "holds no program"},
        {{"--baud", "4800", "scan"}, "--baud wants 9600 or 19200"},
        {{"--port", "COM2", "--device", "/dev/null", "scan"}, "exclude each other"},
    };
    for (const auto& c : cases) {
        CliRun r = run(QStringList{"--port", "COM2"} + c.args);
        EXPECT_TRUE(r.exit == 2 && r.err.contains(c.says) && r.out.isEmpty())
            << c.args.join(' ').toStdString() << ": " << r.err.toStdString();
    }
    // A usage error is one JSON object too.
    QJsonObject j = json({"--json", "--port", "COM2", "send", "1", "168", "12001"});
    EXPECT_TRUE(j["exit"].toInt() == 2 && j["status"].toString() == "usage" &&
                j["exchanges"].toArray().isEmpty());
    EXPECT_EQ(line.take(), "");
}

// A port that cannot be opened or goes away exits 3, an interrupt 130; neither leaves a file.
TEST_F(Cli, PortFailuresAndInterrupts) {
    const QString file = write("a.txt", TwoPrograms);
    const QString nothing = QDir(sim.dir()).filePath("ttyNothing");
    CliRun r = run({"--device", nothing, "read-programs", "1", "b.txt"});
    EXPECT_TRUE(r.exit == 3 && r.err.contains(nothing + "): no such device")) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(QDir(sim.dir()).filePath("b.txt")));

    QProcess cli;
    StartCli(cli, {"write-programs", "1", file}, sim.dir()); // the erase alone takes 2 s
    QTest::qWait(1000);
    cli.terminate();
    r = FinishCli(cli);
    EXPECT_EQ(r.exit, 130);
    EXPECT_EQ(r.out, "Erasing all programs...OK\nSend programs to drive...\nTransfer cancelled\n");
    EXPECT_TRUE(r.err.contains("interrupted")) << r.err.toStdString();

    StartCli(cli, {"write-programs", "1", file}, sim.dir());
    QTest::qWait(1000);
    sim.post("vanish");
    r = FinishCli(cli);
    EXPECT_EQ(r.exit, 3) << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(r.err.startsWith("vardelo-cli: port lost: the serial adapter was disconnected ("))
        << r.err.toStdString();
    EXPECT_EQ(run({"--device", "./com1", "scan"}).exit, 3);
}

// Programs go to the drive at the standard pacing, then fast with the read-back, and come back
// in a program file as they were; a file altered since fails the verify by its line.
TEST_F(Cli, ProgramsRoundTripAndVerify) {
    const QString file = write("a.txt", TwoPrograms);
    const QString sent =
        "Erasing all programs...OK\nSend programs to drive...\nPRG. N.0.....OK\n"; // a dot a line
    CliRun w = run({"write-programs", "1", file, "--no-verify"});
    EXPECT_TRUE(w.exit == 0 && w.out.startsWith(sent + "PRG. N.3.....OK\n")) << w.out.toStdString();
    w = run({"write-programs", "1", file, "--fast"}); // verifies unless told not to
    EXPECT_TRUE(w.exit == 0 &&
                w.out.startsWith(sent + "PRG. N.0 VERIFIED\nPRG. N.3.....OK\nPRG. N.3 VERIFIED\n"))
        << w.out.toStdString();
    CliRun r = run({"read-programs", "1", "drive.txt", "--fast"});
    EXPECT_TRUE(r.exit == 0 && r.out.endsWith("17 programs written to drive.txt\n")) << r.out.toStdString();
    const PrgFileLoad load = LoadPrgFile(QDir(sim.dir()).filePath("drive.txt").toStdString());
    ASSERT_TRUE(load.content) << load.error;
    const PrgStore& got = load.content->store; // lines read from a drive end in a blank
    EXPECT_EQ(got[0][0] + got[0][1] + got[0][2] + got[3][0] + got[3][1] + got[3][2] + got[16][0],
              "26 02 A8 0F A0 31 FF FF FC 18 11 ");

    const QString other = write("c.txt", Header + "--PRG0--\r\n26 02\r\nA8 0F A1\r\n--ENDPRG--\r\n");
    r = run({"verify", "1", other});
    EXPECT_EQ(r.exit, 1);
    EXPECT_TRUE(
        r.err.contains("drive 1 differs from " + other + ": program 0 line 1 (sent A8 0F A1, read A8 0F A0)"))
        << r.err.toStdString();
    // Program 3 is on the drive, not in the file.
    const QJsonArray mismatches = json({"--json", "verify", "1", other, "--fast"})["mismatches"].toArray();
    EXPECT_EQ(mismatches.last(),
              (QJsonObject{{"program", 3}, {"line", 0}, {"sent", ""}, {"read", "31 FF FF FC 18"}}));
}

TEST_F(Cli, ScanEraseAndRefusalsAsScriptsSeeThem) {
    ASSERT_TRUE(sim.control("addresses 1,5"));
    CliRun scan = run({"scan"});
    EXPECT_TRUE(scan.exit == 0 &&
                scan.out == "address 1: type 3, release 2.1\naddress 5: type 3, release 2.1\n")
        << scan.out.toStdString();
    QJsonObject j = json({"--json", "send", "5", "20"});
    EXPECT_TRUE(j["exit"].toInt() == 0 && j["frame"].toString() == "FC 25 14 CA" &&
                j["decoded"].toString() == "Pcb type: 3");
    EXPECT_EQ(j["exchanges"].toArray()[0].toObject()["reply"].toString(), j["reply"].toString());

    EXPECT_EQ(run({"erase", "5", "all"}).out, "Erasing all programs...OK\n");
    ASSERT_TRUE(sim.control("fault nak"));
    EXPECT_EQ(run({"write-programs", "5", write("a.txt", TwoPrograms), "--fast"}).exit, 1);
    ASSERT_TRUE(sim.control("fault none"));
}

// A command without read data and an erase count as done only on the drive's 06; a refusal or a
// stray byte is named and exits 1.
TEST_F(Cli, OneByteAnswersCountOnlyWhen06) {
    const struct {
        const char* fault;
        int exit;
        const char *sendSays, *eraseStatus, *eraseSays;
    } cases[] = {
        {"none", 0, "", "Erasing program 3...OK\n", ""},
        {"nak", 1, "drive 1 refused the command (15h)", "Erasing program 3...ERROR - refused (15h)\n",
         "drive 1 refused the erase (15h)"},
        {"garbage", 1, "unexpected answer ", "Erasing program 3...ERROR - unexpected answer ",
         "drive 1 gave an unexpected answer "},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(sim.control(QString("fault ") + c.fault));
        CliRun send = run({"send", "1", "168", "3000"});
        EXPECT_TRUE(send.exit == c.exit && send.err.contains(c.sendSays) &&
                    send.out.startsWith("TX: FC 61 A8 0B B8 37\nRX: "))
            << c.fault << ": " << send.out.toStdString() << send.err.toStdString();
        CliRun erase = run({"erase", "1", "3"});
        EXPECT_TRUE(erase.exit == c.exit && erase.out.startsWith(c.eraseStatus) &&
                    erase.err.contains(c.eraseSays))
            << c.fault << ": " << erase.out.toStdString() << erase.err.toStdString();
        erase = run({"erase", "1", "all"});
        EXPECT_EQ(erase.exit, c.exit) << c.fault << ": " << erase.out.toStdString();
    }
    ASSERT_TRUE(sim.control("fault none"));
}

// Against an absent drive, read-programs and verify give up after the first program's read:
// one frame on the line, no file written.
TEST_F(Cli, ReadsStopAtTheFirstUnansweredProgram) {
    const QString file = write("a.txt", TwoPrograms);
    const QStringList cases[] = {
        {"read-programs", "9", "out.txt"},
        {"read-programs", "9", "out.txt", "--fast"},
        {"verify", "9", file},
    };
    for (const QStringList& args : cases) {
        QProcess p;
        StartCli(p, QStringList{"--json"} + args, sim.dir());
        const CliRun r = FinishCli(p);
        const QJsonObject j = QJsonDocument::fromJson(r.out.toUtf8()).object();
        const QJsonArray ex = j["exchanges"].toArray();
        EXPECT_TRUE(r.exit == 1 && j["error"].toString().startsWith("drive 9 did not answer"))
            << args.join(' ').toStdString() << ": " << r.out.toStdString();
        ASSERT_EQ(ex.size(), 1) << args.join(' ').toStdString();
        EXPECT_EQ(ex[0].toObject()["frame"].toString(), "FC 49 F2 00 C8"); // read program 0
        EXPECT_FALSE(QFile::exists(QDir(sim.dir()).filePath("out.txt")));
    }
}

// read-programs writes its file only from replies it can trust: two reads that agree, each a
// whole program. An older file of the same name is left as it was.
TEST_F(Cli, ReadProgramsWritesNothingItCannotTrust) {
    ASSERT_EQ(run({"write-programs", "1", write("a.txt", TwoPrograms), "--fast"}).exit, 0);
    const QString old = write("out.txt", "older file");
    const struct {
        const char* fault;
        const char* says;
    } cases[] = {
        {"garbage", "drive 1 gave three different answers to the read of program 0; out.txt not written"},
        {"cut", "drive 1 to the read of program 0 was cut short or garbled; out.txt not written"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(sim.control(QString("fault ") + c.fault));
        CliRun r = run({"read-programs", "1", "out.txt"});
        EXPECT_TRUE(r.exit == 1 && r.err.contains(c.says)) << c.fault << ": " << r.err.toStdString();
        QFile f(old);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly) && f.readAll() == "older file") << c.fault;
    }
    ASSERT_TRUE(sim.control("fault none"));
    // A good drive is read twice per program: 34 reads, and the file holds what was written.
    const QJsonObject j = json({"--json", "read-programs", "1", "out.txt"});
    const auto reads = j["exchanges"].toArray().size();
    EXPECT_TRUE(reads >= 34 && reads <= 40) << reads;
    EXPECT_EQ(run({"verify", "1", write("a.txt", TwoPrograms)}).exit, 0);
}

// A drive left writing by an earlier run (its program begun, never ended) would store the erase
// and the next begin as program lines. write-programs ends it first, and what it then reports
// as done is what the drive holds.
TEST_F(Cli, WriteProgramsClosesAProgramLeftOpen) {
    int fd = ::open(QDir(sim.dir()).filePath("com1").toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    termios tio{};
    ::tcgetattr(fd, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(fd, TCSANOW, &tio);
    const unsigned char begin[] = {0xFC, 0x41, 0xF0, 0x02, 0xD0}; // begin program 2 on drive 1
    ASSERT_EQ(::write(fd, begin, sizeof begin), static_cast<ssize_t>(sizeof begin));
    pollfd pfd{fd, POLLIN, 0};
    char ack = 0;
    ASSERT_TRUE(::poll(&pfd, 1, 2000) == 1 && ::read(fd, &ack, 1) == 1 && ack == 0x06);
    ::close(fd);

    const QString file = write("a.txt", TwoPrograms);
    const QJsonObject j = json({"--json", "write-programs", "1", file, "--no-verify", "--fast"});
    const QJsonArray ex = j["exchanges"].toArray();
    ASSERT_GE(ex.size(), 2);
    EXPECT_EQ(ex[0].toObject()["frame"].toString(), "FC 21 F1 F1"); // end of program first
    EXPECT_EQ(ex[1].toObject()["frame"].toString(), "FC 21 F9 E9"); // then erase all
    EXPECT_EQ(j["exit"].toInt(), 0);
    CliRun v = run({"verify", "1", file});
    EXPECT_EQ(v.exit, 0) << v.out.toStdString() << v.err.toStdString();
}

} // namespace
