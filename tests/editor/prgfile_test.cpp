// The program file: exact bytes written, the loader's rules, and what bad files get.
#include "editor/prgfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#ifdef __linux__
#include <csignal>
#include <sys/resource.h>
#endif

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

TEST(PrgFile, StartLineMarkerAndLineRules) {
    const std::string longLine(200, 'F');
    const std::string binary("\x01\xff zz\t", 6);
    struct Case {
        const char* rule;
        std::string text;
        int program;
        Program lines;
    } cases[] = {
        {"digits anywhere form the number", FileOf({"--PRG 1 2--", "26 02"}), 12, {"26 02"}},
        {"no digit gives program 0", FileOf({"--PRGx", "11"}), 0, {"11"}},
        {"\"--PRG\" alone is a line", FileOf({"--PRG3--", "--PRG", "11"}), 3, {"--PRG", "11"}},
        {"blank lines skipped, ENDPRG ends nothing",
         FileOf({"", "--PRG2--", "", "11", "--ENDPRG--", "", "26 02"}),
         2,
         {"11", "26 02"}},
        {"a second start line starts again",
         FileOf({"--PRG1--", "11", "22 01", "--PRG1--", "26 02"}),
         1,
         {"26 02", "22 01"}},
        {"junk is kept as it stands",
         FileOf({"--PRG0--", longLine.c_str(), "hello world", "  "}) + binary + "\r\n",
         0,
         {longLine, "hello world", "  ", binary}},
        {"LF ends", "KMD EEPROM FILE V1.0\n--PRG5--\n11\n26 02", 5, {"11", "26 02"}},
        {"CR ends", "KMD EEPROM FILE V1.0\r--PRG5--\r11\r26 02\r", 5, {"11", "26 02"}},
    };
    for (const Case& c : cases) {
        const PrgFileContent got = ParsePrgFile(c.text);
        EXPECT_TRUE(got.headerOk) << c.rule;
        PrgStore want{};
        want[c.program] = c.lines;
        EXPECT_EQ(got.store, want) << c.rule;
    }
    // Lines before any start line belong to no program.
    EXPECT_EQ(ParsePrgFile(FileOf({"11", "junk", "--ENDPRG--"})).store, PrgStore{});
}

TEST(PrgFile, WrongHeaderLoadsNothing) {
    for (const char* bad :
         {"kmd eeprom file v1.0\r\n--PRG0--\r\n11\r\n", "KMD EEPROM FILE V1.0 \r\n--PRG0--\r\n11\r\n",
          "\r\nKMD EEPROM FILE V1.0\r\n--PRG0--\r\n11\r\n", "garbage"}) {
        const PrgFileContent c = ParsePrgFile(bad);
        EXPECT_FALSE(c.headerOk) << bad;
        EXPECT_EQ(c.store, PrgStore{}) << bad;
    }
}

TEST(PrgFile, LinesOutsideTheStoreAreSkippedAndCounted) {
    std::string text = FileOf({"--PRG17--", "11", "26 02", "--PRG99999999999999999999--", "11", "--PRG16--"});
    for (int i = 0; i < 55; ++i)
        text += "22 " + std::to_string(i) + "\r\n";
    const PrgFileContent c = ParsePrgFile(text);
    EXPECT_EQ(c.store[16][50], "22 50");
    EXPECT_EQ(c.store[1][0], ""); // 17 did not wrap onto 1, nor 99999... onto anything
    EXPECT_EQ(c.store[7][0], "");
    EXPECT_EQ(SkippedLinesText(c), "3 line(s) of programs above 16 skipped\r\n"
                                   "4 line(s) past line 51 of a program skipped\r\n");
}

#ifdef __linux__
// A write that fails half way (the file size limit stands in for a full disk) must leave the
// old file exactly as it was.
TEST(PrgFile, FailedSaveKeepsTheOldFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("progs.txt");
    const QByteArray old = QByteArray::fromStdString(FileOf({"--PRG0--", "11"}));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(old);
    }
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
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"progs.txt"}); // no temporary left
}
#endif
