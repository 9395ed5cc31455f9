// The configuration file: what a hand-edited file gives, what a write leaves on disk.
#include "app/fileconfig.h"
#include "app/module1.h"
#include "settings_support.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace Module1;

namespace {

const std::string Defaults =
    "VARDELO CONFIGURATION FILE V1.0\r\nBAUDRATE=9600\r\nCOMPORT=1\r\nLANGUAGE=2\r\n";

class FileConfigTest : public InTempDir {};

TEST_F(FileConfigTest, ReadsHandEditedFiles) {
    struct Case {
        const char* name;
        std::string content;
        int baud, port, lingua;
    } cases[] = {
        {"plain", "VARDELO CONFIGURATION FILE V1.0\r\nBAUDRATE=19200\r\nCOMPORT=3\r\nLANGUAGE=3\r\n", 19200,
         3, 3},
        {"blanks around lines and after the key",
         "  VARDELO CONFIGURATION FILE V1.0  \r\n   BAUDRATE=19200   \r\nCOMPORT= 2\r\n", 19200, 2, 2},
        {"LF line ends, any order, junk between",
         "VARDELO CONFIGURATION FILE V1.0\nLANGUAGE=1\n# note\n\nCOMPORT=4\nBAUDRATE=19200", 19200, 4, 1},
        {"last occurrence wins", "VARDELO CONFIGURATION FILE V1.0\r\nCOMPORT=2\r\nCOMPORT=3\r\nCOMPORT=4\r\n",
         9600, 4, 2},
        {"halves to even", "VARDELO CONFIGURATION FILE V1.0\r\nLANGUAGE=2.5\r\nCOMPORT=3.5\r\n", 9600, 4, 2},
        {"letters read as 0", "VARDELO CONFIGURATION FILE V1.0\r\nLANGUAGE=abc\r\n", 9600, 1, 0},
        {"no range test beyond 16 bits", "VARDELO CONFIGURATION FILE V1.0\r\nCOMPORT=7\r\nLANGUAGE=-3\r\n",
         9600, 7, -3},
        {"lower-case key ignored", "VARDELO CONFIGURATION FILE V1.0\r\nbaudrate=19200\r\nComPort=3\r\n", 9600,
         1, 2},
        {"lower-case header: whole file ignored", "vardelo configuration file v1.0\r\nCOMPORT=3\r\n", 9600, 1,
         2},
        {"no header", "COMPORT=3\r\n", 9600, 1, 2},
        {"only the character window is read", "VARDELO CONFIGURATION FILE V1.0\r\nCOMPORT=12345678\r\n", 9600,
         12345, 2},
        {"38400 does not fit: reading stops there",
         "VARDELO CONFIGURATION FILE V1.0\r\nCOMPORT=2\r\nBAUDRATE=38400\r\nLANGUAGE=3\r\nCOMPORT=4\r\n",
         9600, 2, 2},
        {"huge number stops reading", "VARDELO CONFIGURATION FILE V1.0\r\nLANGUAGE=99999\r\nCOMPORT=3\r\n",
         9600, 1, 2},
        {"five characters after the language key", "VARDELO CONFIGURATION FILE V1.0\r\nLANGUAGE=-32768\r\n",
         9600, 1, -3276},
        {"empty file", "", 9600, 1, 2},
        {"binary junk", std::string("\0\xff\r\n\x01", 5), 9600, 1, 2},
    };
    for (const Case& c : cases) {
        ResetGlobals();
        WriteFile(c.content);
        FileConfig("read");
        EXPECT_EQ(BaudRate, c.baud) << c.name;
        EXPECT_EQ(ComPort, c.port) << c.name;
        EXPECT_EQ(Lingua, c.lingua) << c.name;
        EXPECT_EQ(ReadFile(), c.content) << c.name << ": reading never rewrites an existing file";
    }
}

TEST_F(FileConfigTest, MissingFileIsCreatedWithTheCurrentValues) {
    ResetGlobals();
    FileConfig("read");
    EXPECT_EQ(ReadFile(), Defaults);
    EXPECT_EQ(BaudRate, 9600);
    EXPECT_EQ(Lingua, 2);
}

TEST_F(FileConfigTest, WriteLeavesExactlyFourLines) {
    WriteFile("VARDELO CONFIGURATION FILE V1.0\r\n; my comment\r\nCOMPORT=2\r\nEXTRA=1\r\n");
    ResetGlobals();
    BaudRate = 19200;
    ComPort = 7;
    Lingua = -1;
    FileConfig("write");
    EXPECT_EQ(ReadFile(),
              "VARDELO CONFIGURATION FILE V1.0\r\nBAUDRATE=19200\r\nCOMPORT=7\r\nLANGUAGE=-1\r\n");
    // And it reads back as written.
    ResetGlobals();
    FileConfig("read");
    EXPECT_EQ(BaudRate, 19200);
    EXPECT_EQ(ComPort, 7);
    EXPECT_EQ(Lingua, -1);
}

TEST_F(FileConfigTest, OtherModesDoNothing) {
    ResetGlobals();
    for (const char* mode : {"Read", "WRITE", "", "read "})
        FileConfig(mode);
    EXPECT_FALSE(QFile::exists("vdcfg.cfg"));
    WriteFile("VARDELO CONFIGURATION FILE V1.0\r\nCOMPORT=3\r\n");
    FileConfig("Write");
    EXPECT_EQ(ReadFile(), "VARDELO CONFIGURATION FILE V1.0\r\nCOMPORT=3\r\n");
}

TEST_F(FileConfigTest, FailedWriteIsSilentAndKeepsTheSettings) {
    // The working folder vanished under the program: nothing can be written there.
    ASSERT_TRUE(QDir().mkdir("gone"));
    ASSERT_TRUE(QDir::setCurrent("gone"));
    ASSERT_TRUE(QDir("..").rmdir("gone"));
    ComPort = 3;
    FileConfig("write");
    FileConfig("read"); // tries to create the missing file, fails as quietly
    EXPECT_EQ(ComPort, 3);
    ASSERT_TRUE(QDir::setCurrent(".."));
    EXPECT_FALSE(QFile::exists("gone/vdcfg.cfg"));
}

TEST_F(FileConfigTest, UnreadableFileKeepsDefaultsAndIsNotReplaced) {
    // A folder where the file should be: nothing is read, nothing overwritten.
    ASSERT_TRUE(QDir().mkdir("vdcfg.cfg"));
    ResetGlobals();
    FileConfig("read");
    EXPECT_EQ(ComPort, 1);
    EXPECT_TRUE(QFileInfo("vdcfg.cfg").isDir());
    FileConfig("write"); // cannot replace a folder: silent
    EXPECT_TRUE(QFileInfo("vdcfg.cfg").isDir());
}

} // namespace
