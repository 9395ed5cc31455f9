// The configuration file, and the serial and language dialogs: what a hand-edited file gives, what
// a write leaves, what the dialogs show, what a click changes, what reaches the file on OK and on
// the close box. A chosen serial device lives in the application's settings, never in the file.
#include "app/appsettings.h"
#include "app/fileconfig.h"
#include "app/module1.h"
#include "line/qtserialport.h"
#include "reply_port.h"
#include "scripted_prompts.h"
#include "ui/main/form_main.h"
#include "ui/settings/form_lingua.h"
#include "ui/settings/form_serial.h"
#include "ui/settings/settings_dialogs.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <tuple>

using namespace Module1;

namespace {

const std::string H = "VARDELO CONFIGURATION FILE V1.0\r\n";
const std::string OldFile = H + "BAUDRATE=19200\r\nCOMPORT=4\r\nLANGUAGE=1\r\n; kept?\r\n";

void WriteFile(const std::string& content) {
    QFile f("vdcfg.cfg");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(content.data(), static_cast<qint64>(content.size()));
}
std::string ReadFile() {
    QFile f("vdcfg.cfg");
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : "<missing>";
}
std::tuple<int, int, int> Settings() {
    return {BaudRate, ComPort, Lingua};
}

QRadioButton* Option(QDialog& d, int n) {
    return d.findChild<QRadioButton*>(QStringLiteral("Option%1").arg(n));
}
QComboBox* Baud(QDialog& d) {
    return d.findChild<QComboBox*>("Combo1");
}
QComboBox* Devices(QDialog& d) {
    return d.findChild<QComboBox*>("Combo_Device");
}
void ClickOk(QDialog& d) {
    QTest::mouseClick(d.findChild<QPushButton*>("Command1"), Qt::LeftButton);
}
// The title, then the caption of each named control, then the options checked.
std::string Shown(QDialog& d, std::initializer_list<const char*> controls, int options) {
    std::string s = d.windowTitle().toStdString();
    for (const char* name : controls) {
        QObject* o = d.findChild<QObject*>(name);
        s += " | " + o->property(qobject_cast<QGroupBox*>(o) ? "title" : "text").toString().toStdString();
    }
    s += " |";
    for (int n = 1; n <= options; ++n)
        if (Option(d, n)->isChecked()) s += " " + std::to_string(n);
    return s;
}
QString Items(QComboBox* c) {
    QStringList items;
    for (int i = 0; i < c->count(); ++i)
        items << c->itemText(i);
    return items.join(" / ");
}

// Each test runs in a fresh empty working directory, where vdcfg.cfg lives.
class SettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        old_ = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(dir_.path()));
        ResetGlobals();
        AppSettings()->clear();
        SetSerialDeviceLister([this] { return adapters; });
    }
    void TearDown() override {
        SetSerialDeviceLister(nullptr);
        AppSettings()->clear();
        QDir::setCurrent(old_);
        ResetGlobals();
    }
    ScriptedPrompts prompts;
    std::vector<SerialDevice> adapters{{"/dev/ttyACM0", "USB Serial", "FTDI", "A1B2"}};
    QtSerialPort port;
    DriveLine line{port};

  private:
    QTemporaryDir dir_;
    QString old_;
};
using FileConfigTest = SettingsTest;
using SerialDialogTest = SettingsTest;
using LanguageDialogTest = SettingsTest;
using SerialDeviceTest = SettingsTest;

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
        {"no range test within 16 bits", H + "COMPORT=7\r\nLANGUAGE=-3\r\n", 9600, 7, -3},
        {"lower-case key ignored", H + "baudrate=19200\r\nComPort=3\r\n", 9600, 1, 2},
        {"lower-case header: whole file ignored", "vardelo configuration file v1.0\r\nCOMPORT=3\r\n", 9600, 1, 2},
        {"no header", "COMPORT=3\r\n", 9600, 1, 2}, {"letters read as 0", H + "LANGUAGE=abc\r\n", 9600, 1, 0},
        {"only the character window is read", H + "COMPORT=12345678\r\n", 9600, 12345, 2},
        {"38400 does not fit: reading stops there",
         H + "COMPORT=2\r\nBAUDRATE=38400\r\nLANGUAGE=3\r\nCOMPORT=4\r\n", 9600, 2, 2},
        {"five characters after the language key", H + "LANGUAGE=-32768\r\n", 9600, 1, -3276},
        {"empty file", "", 9600, 1, 2}, {"binary junk", std::string("\0\xff\r\n\x01", 5), 9600, 1, 2},
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

TEST_F(FileConfigTest, WriteLeavesExactlyFourLinesThatReadBackAndAFolderIsNeverReplaced) {
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

    // A folder where the file should be: nothing is read, nothing overwritten, no complaint.
    ASSERT_TRUE(QFile::remove("vdcfg.cfg") && QDir().mkdir("vdcfg.cfg"));
    ComPort = 3;
    FileConfig("read");
    FileConfig("write");
    EXPECT_EQ(ComPort, 3);
    EXPECT_TRUE(QFileInfo("vdcfg.cfg").isDir());
}

TEST_F(SerialDialogTest, OpensWithTheStoredPortRateAndTexts) {
    ASSERT_TRUE(QFile("com2").open(QIODevice::WriteOnly)); // the device COM2 opens here
    const struct {
        int port, baud, lingua;
        const char *baudShown, *shown;
    } cases[] = {
        // clang-format off
        {3, 9600, 1, "9600", "Impostazione seriale | Selezione porta seriale | Selezione velocità | ./com2 (presente) | 3"},
        {1, 19200, 2, "19200", "Serial settings | Serial port setting | Baud rate setting | ./com2 (present) | 1"},
        {7, 4800, 3, "", "Schnittstellenparameter | Serielle schnittstelle | Baud rate | ./com2 (vorhanden) |"},
        {0, -1, 0, "", "Serial setting | Serial port setting | Baud rate setting | ./com2 (present) |"},
        // clang-format on
    };
    for (const auto& c : cases) {
        std::tie(ComPort, BaudRate, Lingua) = std::tuple(c.port, c.baud, c.lingua);
        Form_serial d(line);
        EXPECT_EQ(Shown(d, {"Frame1", "Frame2", "Label_Port2"}, 4), c.shown);
        EXPECT_EQ(Baud(d)->currentText(), c.baudShown) << "baud " << c.baud;
        EXPECT_EQ(Items(Baud(d)), "19200 / 9600");
    }
}

TEST_F(SerialDialogTest, ClicksChangeTheGlobalsAtOnceOkWritesThemTheCloseBoxDoesNot) {
    WriteFile(OldFile);
    std::tie(ComPort, BaudRate, Lingua) = std::tuple(4, 19200, 1);
    prompts.dialogActions.push_back([](QDialog& d) {
        QTest::mouseClick(Option(d, 1), Qt::LeftButton);
        emit Baud(d)->activated(1); // picks "9600" from the list
        EXPECT_EQ(Settings(), std::tuple(9600, 1, 1));
        d.close();
    });
    ShowSerialSettings(nullptr, line);
    EXPECT_EQ(ReadFile(), OldFile); // the change holds for this run only

    prompts.dialogActions.push_back([](QDialog& d) {
        QTest::mouseClick(Option(d, 2), Qt::LeftButton);
        EXPECT_EQ(ReadFile(), OldFile); // nothing written before OK
        ClickOk(d);
    });
    ShowSerialSettings(nullptr, line);
    EXPECT_EQ(ReadFile(), H + "BAUDRATE=9600\r\nCOMPORT=2\r\nLANGUAGE=1\r\n");
}

TEST_F(SerialDialogTest, TypedRateIsNeitherCompletedNorLeftShowingWhenItIsNoRate) {
    prompts.dialogActions.push_back([](QDialog& d) {
        d.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
        QLineEdit* field = Baud(d)->lineEdit();
        QTest::mouseClick(field, Qt::LeftButton);
        field->selectAll();
        QTest::keyClicks(field, "1");
        EXPECT_EQ(field->text(), "1"); // not completed to 19200
        QTest::keyClick(field, Qt::Key_Tab);
        EXPECT_EQ(field->text(), "9600"); // the rate in force, not a text no rate stands for
        ClickOk(d);
    });
    ShowSerialSettings(nullptr, line);
    EXPECT_EQ(ReadFile(), H + "BAUDRATE=9600\r\nCOMPORT=1\r\nLANGUAGE=2\r\n");
}

TEST_F(LanguageDialogTest, OpensWithTheCurrentLanguageAClickChangesItOkMakesItLast) {
    const std::pair<int16_t, const char*> cases[] = {
        {1, "Selezione lingua | Seleziona lingua | ITALIANO | DEUTSCH | 1"},
        {3, "Sprachauswahl | Sprachauswahl | ITALIANO | DEUTSCH | 3"},
        {7, "Language selection | Select language | ITALIAN | DEUTCH |"},
    };
    for (const auto& [lingua, shown] : cases) {
        Lingua = lingua;
        Form_lingua d;
        EXPECT_EQ(Shown(d, {"Frame1", "Option1", "Option3"}, 3), shown);
    }

    WriteFile(OldFile);
    std::tie(ComPort, BaudRate, Lingua) = std::tuple(4, 19200, 1);
    prompts.dialogActions.push_back([](QDialog& d) {
        QTest::mouseClick(Option(d, 3), Qt::LeftButton);
        EXPECT_EQ(Lingua, 3);
        EXPECT_EQ(d.windowTitle(), "Selezione lingua"); // the dialog keeps the texts it opened with
        ClickOk(d);
    });
    ShowLanguageDialog(nullptr);
    EXPECT_EQ(ReadFile(), H + "BAUDRATE=19200\r\nCOMPORT=4\r\nLANGUAGE=3\r\n");
    // Close box: the language changes all the same, the file does not.
    prompts.dialogActions.push_back([](QDialog& d) {
        QTest::mouseClick(Option(d, 2), Qt::LeftButton);
        d.close();
    });
    ShowLanguageDialog(nullptr);
    EXPECT_EQ(Lingua, 2);
    EXPECT_EQ(ReadFile(), H + "BAUDRATE=19200\r\nCOMPORT=4\r\nLANGUAGE=3\r\n");
}

TEST_F(SerialDeviceTest, AChosenDeviceHoldsAtOnceAndLastsAfterOk) {
    ASSERT_TRUE(QFile("com2").open(QIODevice::WriteOnly)); // the usual device of COM2
    std::tie(ComPort, Lingua) = std::tuple(2, 3);
    prompts.dialogActions.push_back([this](QDialog& d) {
        EXPECT_EQ(Items(Devices(d)), "automatisch (./com2) / /dev/ttyACM0 - USB Serial, FTDI, SN A1B2");
        Devices(d)->setFocus();
        QTest::keyClick(Devices(d), Qt::Key_Down);
        EXPECT_EQ(line.portDevice(2), "/dev/ttyACM0");
        EXPECT_EQ(
            Shown(d, {"Label_Device", "Label_Port2"}, 0),
            "Schnittstellenparameter | Gerät der gewählten Schnittstelle: | /dev/ttyACM0 (nicht gefunden) |");
        d.close();
    });
    ShowSerialSettings(nullptr, line);
    EXPECT_EQ(line.portDevice(2), "/dev/ttyACM0"); // for this run
    EXPECT_EQ(SavedPortDevice(2).path, "");        // the close box keeps nothing

    prompts.dialogActions.push_back([](QDialog& d) {
        EXPECT_EQ(Devices(d)->currentIndex(), 1);
        ClickOk(d);
    });
    ShowSerialSettings(nullptr, line);
    EXPECT_EQ(SavedPortDevice(2).path, "/dev/ttyACM0");
    EXPECT_EQ(ReadFile().find("/dev/"), std::string::npos); // never in vdcfg.cfg

    // The next start takes it up, and the status line names it.
    line.setPortDevice(2, "");
    ApplySavedPortDevices(line);
    WriteFile(H + "COMPORT=2\r\nLANGUAGE=2\r\n");
    Form_main window(line);
    EXPECT_EQ(window.findChild<QLabel*>("Statusbar")->text().toStdString(),
              "Serial Port: COM 2          Settings:  9600,N,8,1  (/dev/ttyACM0)");
}

// Where a kept adapter is looked for: the chosen path while it is there; when it is gone, the one
// present adapter with its serial number; never one of two with the same number.
TEST_F(SerialDeviceTest, AGoneAdapterIsFoundAgainByItsSerialNumberOnly) {
    ASSERT_TRUE(QFile("ttyUSB0").open(QIODevice::WriteOnly));
    const std::string here = QFileInfo("ttyUSB0").absoluteFilePath().toStdString(),
                      gone = "/dev/vardelo-gone";
    const SerialDevice a1b2{"/dev/ttyUSB1", "USB Serial", "FTDI", "A1B2"},
        other{"/dev/ttyUSB2", "", "", "C3D4"};
    const struct {
        const char* name;
        ChosenDevice chosen;
        std::vector<SerialDevice> present;
        ResolvedPort want;
        int asked; // times the system's list was asked
    } cases[] = {
        {"path there: kept", {here, "A1B2"}, {a1b2}, {here, true}, 0},
        {"no serial number kept (older settings)", {gone}, {a1b2}, {gone, false}, 0},
        {"found again", {gone, "A1B2"}, {other, a1b2}, {"/dev/ttyUSB1", true, true}, 1},
        {"not plugged back", {gone, "A1B2"}, {other}, {gone, false}, 1},
        {"two with the number",
         {gone, "A1B2"},
         {a1b2, other, {"/dev/ttyACM0", "", "", "A1B2"}},
         {gone, false, false, 2},
         1},
        {"the gone path listed is not taken for found",
         {gone, "A1B2"},
         {{gone, "", "", "A1B2"}},
         {gone, false},
         1},
    };
    for (const auto& c : cases) {
        int asked = 0;
        const ResolvedPort got = ResolveChosenPort(2, c.chosen, [&] { return ++asked, c.present; });
        EXPECT_EQ(std::tie(got.device, got.exists, got.foundAgain, got.sameSerial, asked),
                  std::tie(c.want.device, c.want.exists, c.want.foundAgain, c.want.sameSerial, c.asked))
            << c.name;
    }
    // The line trusts where it found the adapter while that path is there: the list is slow.
    int asked = 0;
    SetSerialDeviceLister([&] { return ++asked, std::vector<SerialDevice>{{here, "", "", "A1B2"}}; });
    line.setPortDevice(2, ChosenDevice{gone, "A1B2"});
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(line.resolvePort(2).foundAgain && line.resolvePort(2).device == here);
    EXPECT_EQ(asked, 1);
}

TEST_F(SerialDeviceTest, TheSerialNumberIsKeptWithTheChoiceAndOlderSettingsStillWork) {
    ComPort = 2;
    prompts.dialogActions.push_back([](QDialog& d) {
        Devices(d)->setFocus();
        QTest::keyClick(Devices(d), Qt::Key_Down);
        ClickOk(d);
    });
    ShowSerialSettings(nullptr, line);
    EXPECT_EQ(SavedPortDevice(2), (ChosenDevice{"/dev/ttyACM0", "A1B2", "USB Serial"}));
    EXPECT_EQ(AppSettings()->value("serial/device_com2").toString(), "/dev/ttyACM0"); // where it always was

    // A file written before serial numbers were kept: the path alone; choosing automatic drops all.
    SavePortDevice(2, {});
    AppSettings()->setValue("serial/device_com3", "/dev/ttyACM0");
    EXPECT_EQ(SavedPortDevice(3), ChosenDevice{"/dev/ttyACM0"});
    EXPECT_TRUE(AppSettings()->allKeys().filter("com2").isEmpty());
}

// The window's commands over a port that records the device it is told to open.
class DevicePort : public ReplyPort {
  public:
    std::string device;
    void setDevice(const std::string& d) override { device = d; }
    std::string deviceName() const override { return device; }
};

TEST_F(SerialDeviceTest, TheWindowOpensTheRepluggedAdapterAndSaysSo) {
    DevicePort plugged;
    plugged.answer = [](const std::string&) { return std::string("\x06"); };
    DriveLine here(plugged);
    adapters = {{"/dev/ttyUSB1", "USB Serial", "FTDI", "A1B2"}};
    WriteFile(H + "COMPORT=2\r\nLANGUAGE=2\r\n");
    here.setPortDevice(2, ChosenDevice{"/dev/vardelo-gone", "A1B2", "USB Serial"});
    Form_main window(here);
    auto status = [&] { return window.findChild<QLabel*>("Statusbar")->text().toStdString(); };
    const std::string head = "Serial Port: COM 2          Settings:  9600,N,8,1  ";

    EXPECT_EQ(window.TxRxSeriale(1, 168, 1000, 0, 3, 1, 0), Outcome::Reply);
    EXPECT_EQ(plugged.device, "/dev/ttyUSB1");
    EXPECT_EQ(status(), head + "(/dev/ttyUSB1, adapter A1B2 found again)");

    // A second adapter with the same number: nothing opened, nothing sent, and the reason told.
    adapters.push_back({"/dev/ttyUSB2", "USB Serial", "FTDI", "A1B2"});
    const size_t sent = plugged.frames.size();
    plugged.close();
    EXPECT_EQ(window.TxRxSeriale(1, 168, 1000, 0, 3, 1, 0), Outcome::OpenFailed);
    EXPECT_EQ(plugged.frames.size(), sent);
    EXPECT_FALSE(plugged.isOpen());
    EXPECT_EQ(status(), head + "(/dev/vardelo-gone: 2 adapters have the serial number A1B2)");
    ASSERT_FALSE(prompts.messages.empty());
    EXPECT_TRUE(prompts.messages.back().text.endsWith(
        "COM2 (/dev/vardelo-gone): 2 adapters have the serial number A1B2: unplug all but one or choose the "
        "device in the serial settings"))
        << prompts.messages.back().text.toStdString();

    Lingua = 3;
    window.SetLingua();
    EXPECT_EQ(status(), "Schnittstelle: COM 2          Einstellungen:  9600,N,8,1  "
                        "(/dev/vardelo-gone: 2 Adapter mit der Seriennummer A1B2)");
}

} // namespace
