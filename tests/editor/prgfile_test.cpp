// The program file: exact bytes written, the loader's rules, and what bad files get.
#include "model/prgfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

// A file with the header and the given body lines, CR LF after each.
std::string FileOf(std::initializer_list<const char*> lines) {
    std::string text = "KMD EEPROM FILE V1.0\r\n";
    for (const char* l : lines)
        text += std::string(l) + "\r\n";
    return text;
}

} // namespace

TEST(PrgFile, WritesHeaderMarkersAndLinesWithCrLf) {
    PrgStore store;
    store[0][0] = "26 02";
    store[0][1] = "A8 0F A0";
    std::string expected = "KMD EEPROM FILE V1.0\r\n--PRG0--\r\n26 02\r\nA8 0F A0\r\n--ENDPRG--\r\n";
    for (int p = 1; p <= 16; ++p)
        expected += "--PRG" + std::to_string(p) + "--\r\n--ENDPRG--\r\n";
    EXPECT_EQ(FormatPrgFile(store), expected);
}

// Each file loads into one program (-1: a wrong header, nothing loaded).
TEST(PrgFile, LoaderRules) {
    const std::string longLine(200, 'F'), binary("\x01\xff zz\t", 6);
    struct Case {
        std::string text;
        int program;
        Program lines;
    } cases[] = {
        {FileOf({"--PRG 1 2--", "26 02"}), 12, {"26 02"}},         // digits anywhere form the number
        {FileOf({"--PRGx", "11"}), 0, {"11"}},                     // no digit gives program 0
        {FileOf({"--PRG3--", "--PRG", "11"}), 3, {"--PRG", "11"}}, // too short to start one
        {FileOf({"", "--PRG2--", "", "11", "--ENDPRG--", "", "26 02"}), 2, {"11", "26 02"}},
        {FileOf({"--PRG1--", "11", "22 01", "--PRG1--", "26 02"}), 1, {"26 02", "22 01"}}, // again
        {FileOf({"--PRG0--", longLine.c_str(), "  "}) + binary + "\r\n", 0, {longLine, "  ", binary}},
        {FileOf({"11", "junk", "--ENDPRG--"}), 0, {}}, // before any start line: no program's
        {"KMD EEPROM FILE V1.0\n--PRG5--\n11\n26 02", 5, {"11", "26 02"}},
        {"KMD EEPROM FILE V1.0\r--PRG5--\r11\r26 02\r", 5, {"11", "26 02"}},
        {"kmd eeprom file v1.0\r\n--PRG0--\r\n11\r\n", -1, {}},
        {"KMD EEPROM FILE V1.0 \r\n--PRG0--\r\n11\r\n", -1, {}},
        {"\r\nKMD EEPROM FILE V1.0\r\n--PRG0--\r\n11\r\n", -1, {}},
        {"garbage", -1, {}},
    };
    for (const Case& c : cases) {
        const PrgFileContent got = ParsePrgFile(c.text);
        EXPECT_EQ(got.headerOk, c.program >= 0) << c.text;
        PrgStore want{};
        if (c.program >= 0) want[c.program] = c.lines;
        EXPECT_EQ(got.store, want) << c.text;
    }
}

// A write that fails half way (the file size limit stands in for a full disk) must leave the
// old file exactly as it was.
TEST(PrgFile, FailedSaveKeepsTheOldFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("progs.txt");
    ASSERT_FALSE(SavePrgFile(path.toStdString(), PrgStore{}).has_value());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray old = f.readAll();
    f.close();
    EXPECT_FALSE(LoadPrgFile(dir.path().toStdString()).content.has_value()); // a folder is no file
    PrgStore big;
    for (Program& p : big)
        p.fill("31 FF FF FC 18");
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1000;
    setrlimit(RLIMIT_FSIZE, &small);
    const auto error = SavePrgFile(path.toStdString(), big);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_TRUE(error.has_value());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"progs.txt"}); // no temporary left
}
