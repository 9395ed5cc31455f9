// Typing into the main window's lists with real keys and clicks: what is typed is what is sent,
// and the address used is the address shown.
#include "mainwin_fixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

class TypingTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        open();
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    // Clicks into the list's field, replaces its text by typing, and leaves the focus there.
    void typeKeys(const char* name, const QString& keys) {
        QLineEdit* edit = list(name)->lineEdit();
        QTest::mouseClick(edit, Qt::LeftButton);
        QTest::qWait(1);
        edit->selectAll();
        QTest::keyClicks(edit, keys);
    }
    // A mouse click, which takes the focus from the field typed into.
    void press(const char* name) { QTest::mouseClick(window->findChild<QPushButton*>(name), Qt::LeftButton); }
};

TEST_F(TypingTest, TypedValuesGoOutAsTyped) {
    const struct {
        const char *list, *typed, *button;
        Strings frames;
    } cases[] = {
        {"Combo_QuotaRel", "2", "Command_StartPosRel", {" FC A0 31 00 00 00 02 30"}},
        {"Combo_QuotaAbs", "12", "Command_StartPosAbs", {" FC A0 30 00 00 00 0C 27"}},
        {"Combo_Rampa", "2", "Command_SendInit", {" FC 40 22 02 9F"}},
        // Ramp 2 still stands; the current goes out last.
        {"Combo_Corrente", "1", "Command_SendInit", {" FC 40 22 02 9F", " FC 60 A8 00 01 FA"}},
    };
    for (const auto& c : cases) {
        bus->clearFrames();
        typeKeys(c.list, c.typed);
        press(c.button);
        EXPECT_EQ(framesHex(), c.frames) << c.list;
        EXPECT_EQ(text(c.list), c.typed);
    }
    // Keys that reach a list showing "-" without a click replace the "-" all the same.
    switchLanguage(2);
    bus->clearFrames();
    QTest::keyClicks(list("Combo_QuotaRel"), "2");
    press("Command_StartPosRel");
    QTest::keyClicks(list("Combo_QuotaAbs")->lineEdit(), "-12"); // a typed sign stays
    press("Command_StartPosAbs");
    EXPECT_EQ(framesHex(), Strings({" FC A0 31 00 00 00 02 30", " FC A0 30 FF FF FF F4 42"}));
    EXPECT_TRUE(prompts->messages.empty());
}

TEST_F(TypingTest, AddressUsedIsTheAddressShown) {
    // A typed item is picked; a click on a button right after typing uses it.
    typeKeys("Combo_Addr", "3");
    press("Command_Reset");
    EXPECT_EQ(framesHex(), Strings{" FC 23 01 DF"});

    // Anything else gives way to the address in force: on the click, on Enter, on focus-out.
    typeKeys("Combo_Addr", "s");
    press("Command_Reset");
    EXPECT_EQ(text("Combo_Addr"), "3");
    typeKeys("Combo_Addr", "40");
    QTest::keyClick(list("Combo_Addr")->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(text("Combo_Addr"), "3");
    typeKeys("Combo_Addr", "switch");
    typeKeys("Combo_QuotaRel", "1");
    EXPECT_EQ(text("Combo_Addr"), "3");
    EXPECT_EQ(Module1::Indirizzo, 3);

    typeKeys("Combo_Addr", "switchall");
    QTest::keyClick(list("Combo_Addr")->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(Module1::Indirizzo, 99);
    // Even a click that takes no focus (a shortcut, an accessibility tool) uses what is shown.
    typeKeys("Combo_Addr", "5");
    window->findChild<QPushButton*>("Command_Stop")->click();
    EXPECT_EQ(framesHex(), Strings({" FC 23 01 DF", " FC 23 01 DF", " FC 25 11 CD"}));
    EXPECT_EQ(text("Combo_Addr"), "5");
}

} // namespace
