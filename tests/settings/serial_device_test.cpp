// Any serial device for a COM number: chosen in the serial settings, kept in the application's
// settings (a directory of the test run), shown where the port is named.
#include "app/appsettings.h"
#include "app/module1.h"
#include "link/portmap.h"
#include "scripted_prompts.h"
#include "settings_support.h"
#include "ui/main/form_main.h"
#include "ui/settings/form_serial.h"
#include "ui/settings/settings_dialogs.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace Module1;

namespace {

class SerialDeviceTest : public InTempDir {
  protected:
    void SetUp() override {
        InTempDir::SetUp();
        AppSettings()->clear();
        SetSerialDeviceLister([this] { return adapters; });
    }
    void TearDown() override {
        SetSerialDeviceLister(nullptr);
        for (int n = 1; n <= 4; ++n)
            SetPortDevice(n, "");
        AppSettings()->clear();
        InTempDir::TearDown();
    }
    static QComboBox* Devices(QDialog& d) { return d.findChild<QComboBox*>("Combo_Device"); }
    static QString Label(QDialog& d, const char* name) { return d.findChild<QLabel*>(name)->text(); }
    static QStringList Items(QDialog& d) {
        QStringList items;
        for (int i = 0; i < Devices(d)->count(); ++i)
            items << Devices(d)->itemText(i);
        return items;
    }
    // Picks an entry of the list with the keyboard, as an operator would.
    static void Key(QDialog& d, Qt::Key key) {
        Devices(d)->setFocus();
        QTest::keyClick(Devices(d), key);
    }

    ScriptedPrompts prompts;
    std::vector<SerialDevice> adapters{{"/dev/ttyACM0", "USB Serial", "FTDI", "A1B2"}};
};

TEST_F(SerialDeviceTest, AChosenDeviceHoldsAtOnceAndLastsAfterOk) {
    ASSERT_TRUE(QFile("com2").open(QIODevice::WriteOnly)); // the usual device of COM2
    ComPort = 2;
    Lingua = 3;
    prompts.dialogActions.push_back([this](QDialog& d) {
        EXPECT_EQ(Items(d),
                  (QStringList{"automatisch (./com2)", "/dev/ttyACM0 - USB Serial, FTDI, SN A1B2"}));
        EXPECT_EQ(Label(d, "Label_Device"), "Gerät der gewählten Schnittstelle:");
        Key(d, Qt::Key_Down);
        EXPECT_EQ(PortDevice(2), "/dev/ttyACM0");
        EXPECT_EQ(Label(d, "Label_Port2"), "/dev/ttyACM0 (nicht gefunden)");
        d.close();
    });
    ShowSerialSettings(nullptr);
    EXPECT_EQ(PortDevice(2), "/dev/ttyACM0"); // for this run
    EXPECT_EQ(SavedPortDevice(2), "");        // the close box keeps nothing

    prompts.dialogActions.push_back([](QDialog& d) {
        QTest::mouseClick(d.findChild<QRadioButton*>("Option2"), Qt::LeftButton);
        EXPECT_EQ(Devices(d)->currentIndex(), 1);
        QTest::mouseClick(d.findChild<QPushButton*>("Command1"), Qt::LeftButton);
    });
    ShowSerialSettings(nullptr);
    EXPECT_EQ(SavedPortDevice(2), "/dev/ttyACM0");
    EXPECT_EQ(ReadFile().find("/dev/"), std::string::npos); // never in vdcfg.cfg

    // The next start takes it up, and the status line names it.
    SetPortDevice(2, "");
    ApplySavedPortDevices();
    WriteFile("VARDELO CONFIGURATION FILE V1.0\r\nCOMPORT=2\r\nLANGUAGE=2\r\n");
    Form_main window;
    EXPECT_EQ(window.findChild<QLabel*>("Statusbar")->text().toStdString(),
              "Serial Port: COM 2          Settings:  9600,N,8,1  (/dev/ttyACM0)");
}

TEST_F(SerialDeviceTest, TheListFollowsAdaptersAndKeepsAChoiceThatIsGone) {
    ComPort = 1;
    SetPortDevice(1, "/dev/ttyACM0");
    Form_serial d;
    EXPECT_EQ(Devices(d)->currentText(), "/dev/ttyACM0 - USB Serial, FTDI, SN A1B2");
    adapters = {{"/dev/ttyUSB3", "", "", ""}}; // one adapter out, another in: seen at the next look
    for (int i = 0; i < 200 && Items(d).size() != 3; ++i)
        QTest::qWait(50);
    EXPECT_EQ(Items(d).mid(1), (QStringList{"/dev/ttyUSB3", "/dev/ttyACM0 (not found)"}));
    EXPECT_EQ(Devices(d)->currentText(), "/dev/ttyACM0 (not found)");

    // Back to the usual mapping.
    ASSERT_TRUE(QFile("com1").open(QIODevice::WriteOnly));
    Key(d, Qt::Key_Home);
    EXPECT_EQ(PortDevice(1), "");
    EXPECT_EQ(Label(d, "Label_Port1"), "./com1 (present)");
}

} // namespace
