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

std::string ReadBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return "<cannot open>";
    return f.readAll().toStdString();
}

void WriteBytes(const QString& path, const std::string& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

// A file with the header and the given body lines, CR LF after each.
std::string FileOf(std::initializer_list<const char*> lines) {
    std::string text = "KMD EEPROM FILE V1.0\r\n";
    for (const char* l : lines)
        text += std::string(l) + "\r\n";
    return text;
}

bool StoreEmpty(const PrgStore& store) {
    for (const Program& p : store)
        for (const std::string& l : p)
            if (!l.empty()) return false;
    return true;
}

} // namespace

TEST(PrgFile, WritesHeaderMarkersAndLinesWithCrLf) {
    PrgStore store;
    store[0][0] = "26 02";
    store[0][1] = "A8 0F A0";
    const std::string text = FormatPrgFile(store);
    std::string expected = "KMD EEPROM FILE V1.0\r\n--PRG0--\r\n26 02\r\nA8 0F A0\r\n--ENDPRG--\r\n";
    for (int p = 1; p <= 16; ++p)
        expected += "--PRG" + std::to_string(p) + "--\r\n--ENDPRG--\r\n";
    EXPECT_EQ(text, expected);
}

TEST(PrgFile, EmptyStoreIs35Lines) {
    const std::string text = FormatPrgFile(PrgStore{});
    size_t lines = 0;
    for (size_t i = text.find("\r\n"); i != std::string::npos; i = text.find("\r\n", i + 2))
        ++lines;
    EXPECT_EQ(lines, 35u);
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1); // no bare LF
    EXPECT_EQ(text.substr(text.size() - 12), "--ENDPRG--\r\n");
}

TEST(PrgFile, RoundTripKeepsEveryLineAndTrailingBlanks) {
    PrgStore store;
    store[0][0] = "A8 0F A0 ";
    store[0][1] = "26 02 ";
    store[0][2] = "11";
    store[7][0] = "31 FF FF FC 18";
    for (int i = 0; i < LinesPerProgram; ++i)
        store[16][i] = "22 " + std::to_string(10 + i % 80);
    QTemporaryDir dir;
    const std::string path = dir.filePath("progs.txt").toStdString();
    ASSERT_FALSE(SavePrgFile(path, store).has_value());
    const PrgFileLoad load = LoadPrgFile(path);
    ASSERT_TRUE(load.content.has_value()) << load.error;
    EXPECT_TRUE(load.content->headerOk);
    EXPECT_EQ(load.content->store, store);
    EXPECT_EQ(SkippedLinesText(*load.content), "");
}

TEST(PrgFile, StartLineMarkerRules) {
    // Digits anywhere in the start line form the number; no digit gives program 0.
    PrgFileContent c = ParsePrgFile(FileOf({"--PRG 1 2--", "26 02", "--PRGx", "11"}));
    EXPECT_EQ(c.store[12][0], "26 02");
    EXPECT_EQ(c.store[0][0], "11");

    // "--PRG" alone is too short to start a program: it is a line of the current program.
    c = ParsePrgFile(FileOf({"--PRG3--", "--PRG", "11"}));
    EXPECT_EQ(c.store[3][0], "--PRG");
    EXPECT_EQ(c.store[3][1], "11");

    // Blank lines are skipped; ENDPRG does not end the program, later lines join it.
    c = ParsePrgFile(FileOf({"", "--PRG2--", "", "11", "--ENDPRG--", "", "26 02", "--PRG4--", "A8 0F A0"}));
    EXPECT_EQ(c.store[2][0], "11");
    EXPECT_EQ(c.store[2][1], "26 02");
    EXPECT_EQ(c.store[2][2], "");
    EXPECT_EQ(c.store[4][0], "A8 0F A0");

    // A second start line of the same program starts it again from line 0.
    c = ParsePrgFile(FileOf({"--PRG1--", "11", "22 01", "--PRG1--", "26 02"}));
    EXPECT_EQ(c.store[1][0], "26 02");
    EXPECT_EQ(c.store[1][1], "22 01");

    // Lines before any start line belong to no program.
    c = ParsePrgFile(FileOf({"11", "junk", "--ENDPRG--"}));
    EXPECT_TRUE(StoreEmpty(c.store));
}

TEST(PrgFile, HeaderMustMatchExactly) {
    for (const char* bad :
         {"kmd eeprom file v1.0\r\n--PRG0--\r\n11\r\n", "KMD EEPROM FILE V1.0 \r\n--PRG0--\r\n11\r\n",
          "\r\nKMD EEPROM FILE V1.0\r\n--PRG0--\r\n11\r\n", "garbage"}) {
        const PrgFileContent c = ParsePrgFile(bad);
        EXPECT_FALSE(c.headerOk) << bad;
        EXPECT_TRUE(StoreEmpty(c.store)) << bad;
    }
    const PrgFileContent empty = ParsePrgFile("");
    EXPECT_TRUE(empty.headerOk);
    EXPECT_TRUE(StoreEmpty(empty.store));
}

TEST(PrgFile, AcceptsLfAndCrLineEnds) {
    for (const char* text :
         {"KMD EEPROM FILE V1.0\n--PRG5--\n11\n26 02", "KMD EEPROM FILE V1.0\r--PRG5--\r11\r26 02\r"}) {
        const PrgFileContent c = ParsePrgFile(text);
        EXPECT_TRUE(c.headerOk);
        EXPECT_EQ(c.store[5][0], "11");
        EXPECT_EQ(c.store[5][1], "26 02");
    }
}

TEST(PrgFile, LinesOutsideTheStoreAreSkippedAndCounted) {
    std::string text = FileOf({"--PRG17--", "11", "26 02", "--PRG99999999999999999999--", "11", "--PRG16--"});
    for (int i = 0; i < 55; ++i)
        text += "22 " + std::to_string(i) + "\r\n";
    const PrgFileContent c = ParsePrgFile(text);
    EXPECT_EQ(c.skippedHighProgram, 3);
    EXPECT_EQ(c.skippedPastEnd, 4);
    EXPECT_EQ(c.store[16][50], "22 50");
    EXPECT_EQ(c.store[1][0], ""); // 17 did not wrap onto 1, nor 99999... onto anything
    EXPECT_EQ(c.store[7][0], "");
    EXPECT_EQ(SkippedLinesText(c), "3 line(s) of programs above 16 skipped\r\n"
                                   "4 line(s) past line 51 of a program skipped\r\n");
}

TEST(PrgFile, JunkLinesAreKeptAsTheyStand) {
    const std::string longLine(200, 'F');
    const std::string binary("\x01\xff zz\t", 6);
    const PrgFileContent c =
        ParsePrgFile(FileOf({"--PRG0--", longLine.c_str(), "hello world", "  "}) + binary + "\r\n");
    EXPECT_EQ(c.store[0][0], longLine);
    EXPECT_EQ(c.store[0][1], "hello world");
    EXPECT_EQ(c.store[0][2], "  ");
    EXPECT_EQ(c.store[0][3], binary);
}

TEST(PrgFile, LoadOfMissingFileSaysWhy) {
    QTemporaryDir dir;
    for (const QString& path : {dir.filePath("none.txt"), dir.path()}) {
        const PrgFileLoad load = LoadPrgFile(path.toStdString());
        EXPECT_FALSE(load.content.has_value()) << path.toStdString();
        EXPECT_FALSE(load.error.empty());
    }
}

TEST(PrgFile, SaveIntoMissingFolderFailsWithReason) {
    QTemporaryDir dir;
    const auto error = SavePrgFile(dir.filePath("no/such/folder/p.txt").toStdString(), PrgStore{});
    ASSERT_TRUE(error.has_value());
    EXPECT_FALSE(error->empty());
}

#ifdef __linux__
// A write that fails half way (the file size limit stands in for a full disk) must leave the
// old file exactly as it was.
TEST(PrgFile, FailedSaveKeepsTheOldFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("progs.txt");
    const std::string old = FileOf({"--PRG0--", "11"});
    WriteBytes(path, old);

    PrgStore big;
    for (Program& p : big)
        for (std::string& l : p)
            l = "31 FF FF FC 18";
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
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"progs.txt"}); // no temporary left
}
#endif
