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
// The title, then the caption of each named control, then the options checked.
std::string Shown(QDialog& d, std::initializer_list<const char*> controls, int options) {
    std::string s = d.windowTitle().toStdString();
    for (const char* name : controls) {
        QObject* o = d.findChild<QObject*>(name);
        if (auto* g = qobject_cast<QGroupBox*>(o)) s += " | " + g->title().toStdString();
        if (auto* b = qobject_cast<QAbstractButton*>(o)) s += " | " + b->text().toStdString();
        if (auto* l = qobject_cast<QLabel*>(o)) s += " | " + l->text().toStdString();
    }
    s += " |";
    for (int n = 1; n <= options; ++n)
        if (Option(d, n)->isChecked()) s += " " + std::to_string(n);
    return s;
}

class SettingsDialogTest : public InTempDir {
  protected:
    void SetUp() override {
        InTempDir::SetUp();
        WriteFile(OldFile);
        std::tie(ComPort, BaudRate, Lingua) = std::tuple(4, 19200, 1);
    }
    ScriptedPrompts prompts;
};
using SerialDialogTest = SettingsDialogTest;
using LanguageDialogTest = SettingsDialogTest;

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
        Form_serial d;
        EXPECT_EQ(Shown(d, {"Frame1", "Frame2", "Label_Port2"}, 4), c.shown);
        EXPECT_EQ(Baud(d)->currentText(), c.baudShown) << "baud " << c.baud;
        EXPECT_EQ(Baud(d)->itemText(0) + " " + Baud(d)->itemText(1), "19200 9600");
    }
}

TEST_F(SerialDialogTest, ClicksChangeTheGlobalsAtOnceOkWritesThemTheCloseBoxDoesNot) {
    prompts.dialogActions.push_back([](QDialog& d) {
        QTest::mouseClick(Option(d, 1), Qt::LeftButton);
        emit Baud(d)->activated(1); // picks "9600" from the list
        EXPECT_EQ(std::pair(ComPort, BaudRate), (std::pair<int16_t, int16_t>(1, 9600)));
        d.close();
    });
    ShowSerialSettings(nullptr);
    EXPECT_EQ(ReadFile(), OldFile); // the change holds for this run only

    prompts.dialogActions.push_back([](QDialog& d) {
        QTest::mouseClick(Option(d, 2), Qt::LeftButton);
        EXPECT_EQ(ReadFile(), OldFile); // nothing written before OK
        ClickOk(d);
    });
    ShowSerialSettings(nullptr);
    EXPECT_EQ(ReadFile(), H + "BAUDRATE=9600\r\nCOMPORT=2\r\nLANGUAGE=1\r\n");
}

TEST_F(SerialDialogTest, TypedRateIsNeitherCompletedNorLeftShowingWhenItIsNoRate) {
    BaudRate = 9600;
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
    ShowSerialSettings(nullptr);
    EXPECT_EQ(ReadFile(), H + "BAUDRATE=9600\r\nCOMPORT=4\r\nLANGUAGE=1\r\n");
}

TEST_F(LanguageDialogTest, OpensWithTheCurrentLanguageAndItsTexts) {
    const std::pair<int16_t, const char*> cases[] = {
        {1, "Selezione lingua | Seleziona lingua | ITALIANO | DEUTSCH | 1"},
        {2, "Language selection | Select language | ITALIANO | DEUTSCH | 2"},
        {3, "Sprachauswahl | Sprachauswahl | ITALIANO | DEUTSCH | 3"},
        {7, "Language selection | Select language | ITALIAN | DEUTCH |"},
    };
    for (const auto& [lingua, shown] : cases) {
        Lingua = lingua;
        Form_lingua d;
        EXPECT_EQ(Shown(d, {"Frame1", "Option1", "Option3"}, 3), shown);
    }
}

TEST_F(LanguageDialogTest, ClickChangesTheLanguageOkMakesItLast) {
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
