// The configuration file: what a hand-edited file gives, what a write leaves on disk.
#include "app/fileconfig.h"
#include "app/module1.h"
#include "settings_support.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <tuple>

using namespace Module1;

namespace {

const std::string H = "VARDELO CONFIGURATION FILE V1.0\r\n";

class FileConfigTest : public InTempDir {};

std::tuple<int, int, int> Settings() {
    return {BaudRate, ComPort, Lingua};
}

TEST_F(FileConfigTest, ReadsHandEditedFiles) {
    const struct {
        const char* name;
        std::string content;
        int baud, port, lingua;
    } cases[] = {
        // clang-format off
        {"plain", H + "BAUDRATE=19200\r\nCOMPORT=3\r\nLANGUAGE=3\r\n", 19200, 3, 3},
        {"blanks around lines and after the key",
         "  VARDELO CONFIGURATION FILE V1.0  \r\n   BAUDRATE=19200   \r\nCOMPORT= 2\r\n", 19200, 2, 2},
        {"LF ends, any order, junk between", H + "LANGUAGE=1\n# note\n\nCOMPORT=4\nBAUDRATE=19200", 19200, 4, 1},
        {"CR ends", "VARDELO CONFIGURATION FILE V1.0\rBAUDRATE=19200\rCOMPORT=3\rLANGUAGE=1\r", 19200, 3, 1},
        {"last occurrence wins", H + "COMPORT=2\r\nCOMPORT=3\r\nCOMPORT=4\r\n", 9600, 4, 2},
        {"halves to even", H + "LANGUAGE=2.5\r\nCOMPORT=3.5\r\n", 9600, 4, 2},
        {"letters read as 0", H + "LANGUAGE=abc\r\n", 9600, 1, 0},
        {"no range test within 16 bits", H + "COMPORT=7\r\nLANGUAGE=-3\r\n", 9600, 7, -3},
        {"lower-case key ignored", H + "baudrate=19200\r\nComPort=3\r\n", 9600, 1, 2},
        {"lower-case header: whole file ignored", "vardelo configuration file v1.0\r\nCOMPORT=3\r\n", 9600, 1, 2},
        {"no header", "COMPORT=3\r\n", 9600, 1, 2},
        {"only the character window is read", H + "COMPORT=12345678\r\n", 9600, 12345, 2},
        {"38400 does not fit: reading stops there",
         H + "COMPORT=2\r\nBAUDRATE=38400\r\nLANGUAGE=3\r\nCOMPORT=4\r\n", 9600, 2, 2},
        {"five characters after the language key", H + "LANGUAGE=-32768\r\n", 9600, 1, -3276},
        {"empty file", "", 9600, 1, 2},
        {"binary junk", std::string("\0\xff\r\n\x01", 5), 9600, 1, 2},
        // clang-format on
    };
    for (const auto& c : cases) {
        ResetGlobals();
        WriteFile(c.content);
        FileConfig("read");
        EXPECT_EQ(Settings(), std::tuple(c.baud, c.port, c.lingua)) << c.name;
        EXPECT_EQ(ReadFile(), c.content) << c.name << ": reading never rewrites an existing file";
    }
}

TEST_F(FileConfigTest, WriteLeavesExactlyFourLinesThatReadBack) {
    FileConfig("read"); // a missing file is created with the current values
    EXPECT_EQ(ReadFile(), H + "BAUDRATE=9600\r\nCOMPORT=1\r\nLANGUAGE=2\r\n");
    WriteFile(H + "; my comment\r\nCOMPORT=2\r\nEXTRA=1\r\n");
    std::tie(BaudRate, ComPort, Lingua) = std::tuple(19200, 7, -1);
    for (const char* mode : {"Read", "WRITE", "", "read "}) // no mode: nothing happens
        FileConfig(mode);
    EXPECT_EQ(ReadFile(), H + "; my comment\r\nCOMPORT=2\r\nEXTRA=1\r\n");
    FileConfig("write");
    EXPECT_EQ(ReadFile(), H + "BAUDRATE=19200\r\nCOMPORT=7\r\nLANGUAGE=-1\r\n");
    ResetGlobals();
    FileConfig("read");
    EXPECT_EQ(Settings(), std::tuple(19200, 7, -1));
}

TEST_F(FileConfigTest, AFolderWhereTheFileShouldBeIsNeitherReadNorReplaced) {
    ASSERT_TRUE(QDir().mkdir("vdcfg.cfg"));
    ComPort = 3;
    FileConfig("read");
    FileConfig("write");
    EXPECT_EQ(ComPort, 3);
    EXPECT_TRUE(QFileInfo("vdcfg.cfg").isDir());
}

} // namespace
