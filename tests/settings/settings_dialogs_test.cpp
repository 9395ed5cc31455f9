// The serial and language dialogs: what they show when opened, what a click changes, and what
// reaches the configuration file on OK and on the close box.
#include "app/module1.h"
#include "scripted_prompts.h"
#include "settings_support.h"
#include "ui/settings/form_lingua.h"
#include "ui/settings/form_serial.h"
#include "ui/settings/settings_dialogs.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace Module1;

namespace {

const std::string H = "VARDELO CONFIGURATION FILE V1.0\r\n";
const std::string OldFile = H + "BAUDRATE=19200\r\nCOMPORT=4\r\nLANGUAGE=1\r\n; kept?\r\n";

QRadioButton* Option(QDialog& d, int n) {
    return d.findChild<QRadioButton*>(QStringLiteral("Option%1").arg(n));
}
QComboBox* Baud(QDialog& d) {
    return d.findChild<QComboBox*>("Combo1");
}
void ClickOk(QDialog& d) {
    QTest::mouseClick(d.findChild<QPushButton*>("Command1"), Qt::LeftButton);
}
std::vector<int> Checked(QDialog& d, int count) {
    std::vector<int> on;
    for (int n = 1; n <= count; ++n)
        if (Option(d, n)->isChecked()) on.push_back(n);
    return on;
}

class SerialDialogTest : public InTempDir {
  protected:
    ScriptedPrompts prompts;
};

TEST_F(SerialDialogTest, OpensWithTheStoredPortRateAndTexts) {
    const struct {
        int port, baud;
        std::vector<int> checked;
        const char* boxText;
        int16_t lingua;
        const char *title, *frame1, *frame2;
    } cases[] = {
        // clang-format off
        {3, 9600, {3}, "9600", 1, "Impostazione seriale", "Selezione porta seriale", "Selezione velocità"},
        {1, 19200, {1}, "19200", 2, "Serial settings", "Serial port setting", "Baud rate setting"},
        {7, 4800, {}, "", 3, "Schnittstellenparameter", "Serielle schnittstelle", "Baud rate"},
        {0, -1, {}, "", 0, "Serial setting", "Serial port setting", "Baud rate setting"},
        // clang-format on
    };
    for (const auto& c : cases) {
        ComPort = static_cast<int16_t>(c.port);
        BaudRate = static_cast<int16_t>(c.baud);
        Lingua = c.lingua;
        Form_serial d;
        EXPECT_EQ(Checked(d, 4), c.checked) << "port " << c.port;
        EXPECT_EQ(Baud(d)->currentText(), c.boxText) << "baud " << c.baud;
        EXPECT_EQ(d.windowTitle().toStdString(), c.title);
        EXPECT_EQ(d.findChild<QGroupBox*>("Frame1")->title().toStdString(), c.frame1);
        EXPECT_EQ(d.findChild<QGroupBox*>("Frame2")->title().toStdString(), c.frame2);
        EXPECT_EQ(d.findChild<QPushButton*>("Command1")->text(), "OK");
        ASSERT_EQ(Baud(d)->count(), 2);
        EXPECT_EQ(Baud(d)->itemText(0) + " " + Baud(d)->itemText(1), "19200 9600");
        for (int n = 1; n <= 4; ++n)
            EXPECT_EQ(Option(d, n)->text(), QStringLiteral("COM%1").arg(n));
    }
}

TEST_F(SerialDialogTest, ClicksChangeTheGlobalsAtOnceOkWritesThemTheCloseBoxDoesNot) {
    WriteFile(OldFile);
    ComPort = 4;
    BaudRate = 19200;
    Lingua = 1;
    prompts.dialogActions.push_back([](QDialog& d) {
        QTest::mouseClick(Option(d, 1), Qt::LeftButton);
        emit Baud(d)->activated(1); // picks "9600" from the list
        EXPECT_EQ(ComPort, 1);
        EXPECT_EQ(BaudRate, 9600);
        d.close();
    });
    ShowSerialSettings(nullptr);
    EXPECT_EQ(ReadFile(), OldFile); // the change holds for this run only

    prompts.dialogActions.push_back([](QDialog& d) {
        QTest::mouseClick(Option(d, 2), Qt::LeftButton);
        EXPECT_EQ(ComPort, 2);
        EXPECT_EQ(ReadFile(), OldFile); // nothing written before OK
        ClickOk(d);
        EXPECT_FALSE(d.isVisible());
    });
    ShowSerialSettings(nullptr);
    EXPECT_EQ(ReadFile(), H + "BAUDRATE=9600\r\nCOMPORT=2\r\nLANGUAGE=1\r\n");
}

TEST_F(SerialDialogTest, OkSavesHandEditedValuesAndTypingARateWithoutPickingChangesNothing) {
    ComPort = 7;
    BaudRate = 4800;
    prompts.dialogActions.push_back([](QDialog& d) {
        QComboBox* box = Baud(d);
        box->lineEdit()->selectAll();
        QTest::keyClicks(box->lineEdit(), "19200");
        EXPECT_EQ(box->currentText(), "19200");
        EXPECT_EQ(BaudRate, 4800);
        ClickOk(d);
    });
    ShowSerialSettings(nullptr);
    EXPECT_EQ(BaudRate, 4800);
    EXPECT_EQ(ReadFile(), H + "BAUDRATE=4800\r\nCOMPORT=7\r\nLANGUAGE=2\r\n");
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
        EXPECT_EQ(BaudRate, 9600);
        ClickOk(d);
    });
    ShowSerialSettings(nullptr);
    EXPECT_EQ(ReadFile(), H + "BAUDRATE=9600\r\nCOMPORT=1\r\nLANGUAGE=2\r\n");
}

TEST_F(SerialDialogTest, ShowsTheDeviceEachPortOpens) {
    QFile link("com2");
    ASSERT_TRUE(link.open(QIODevice::WriteOnly));
    link.close();
    const char* present[] = {"(presente)", "(present)", "(vorhanden)"};
    for (int16_t lingua : {1, 2, 3}) {
        Lingua = lingua;
        Form_serial d;
        EXPECT_EQ(d.findChild<QLabel*>("Label_Port2")->text().toStdString(),
                  std::string("./com2 ") + present[lingua - 1]);
    }
}

using LanguageDialogTest = SerialDialogTest;

TEST_F(LanguageDialogTest, OpensWithTheCurrentLanguageAndItsTexts) {
    struct Case {
        int16_t lingua;
        std::vector<int> checked;
        const char *title, *frame, *o1, *o3;
    } cases[] = {
        // clang-format off
        {1, {1}, "Selezione lingua", "Seleziona lingua", "ITALIANO", "DEUTSCH"},
        {2, {2}, "Language selection", "Select language", "ITALIANO", "DEUTSCH"},
        {3, {3}, "Sprachauswahl", "Sprachauswahl", "ITALIANO", "DEUTSCH"},
        {7, {}, "Language selection", "Select language", "ITALIAN", "DEUTCH"},
        // clang-format on
    };
    for (const Case& c : cases) {
        Lingua = c.lingua;
        Form_lingua d;
        EXPECT_EQ(Checked(d, 3), c.checked) << c.lingua;
        EXPECT_EQ(d.windowTitle().toStdString(), c.title);
        EXPECT_EQ(d.findChild<QGroupBox*>("Frame1")->title().toStdString(), c.frame);
        EXPECT_EQ(Option(d, 1)->text().toStdString(), c.o1);
        EXPECT_EQ(Option(d, 2)->text(), "ENGLISH");
        EXPECT_EQ(Option(d, 3)->text().toStdString(), c.o3);
    }
}

TEST_F(LanguageDialogTest, ClickChangesTheLanguageOkMakesItLast) {
    WriteFile(OldFile);
    ComPort = 4;
    BaudRate = 19200;
    Lingua = 1;
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
    EXPECT_NE(ReadFile().find("LANGUAGE=3\r\n"), std::string::npos);
}

} // namespace
