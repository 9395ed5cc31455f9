#include "mainwin_fixture.h"

#include "app/module1.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

void MainWindowTest::SetUp() {
    SimFixture::SetUp();
    oldDir_ = QDir::currentPath();
    ASSERT_TRUE(dir_.isValid());
    QDir::setCurrent(dir_.path());
}

void MainWindowTest::TearDown() {
    window.reset();
    QDir::setCurrent(oldDir_);
    SimFixture::TearDown();
}

void MainWindowTest::click(const char* name) {
    if (auto* b = window->findChild<QAbstractButton*>(name))
        b->click();
    else if (auto* a = window->findChild<QAction*>(name))
        a->trigger();
    else
        ADD_FAILURE() << "no control " << name;
}

QString MainWindowTest::text(const char* name) const {
    QObject* o = window->findChild<QObject*>(name);
    if (auto* m = qobject_cast<QMenu*>(o)) return m->title();
    if (auto* a = qobject_cast<QAction*>(o)) return a->text();
    if (auto* l = qobject_cast<QLabel*>(o)) return l->text();
    if (auto* c = qobject_cast<QComboBox*>(o)) return c->currentText();
    if (auto* b = qobject_cast<QAbstractButton*>(o)) return b->text();
    if (auto* g = qobject_cast<QGroupBox*>(o)) return g->title();
    if (auto* e = qobject_cast<QLineEdit*>(o)) return e->text();
    ADD_FAILURE() << "no control " << name;
    return {};
}

void MainWindowTest::pick(const char* name, const QString& item) {
    QComboBox* c = list(name);
    int i = c->findText(item, Qt::MatchExactly);
    ASSERT_GE(i, 0) << item.toStdString();
    c->setCurrentIndex(i);
    emit c->activated(i);
}

void MainWindowTest::switchLanguage(int lingua) {
    Module1::Lingua = static_cast<int16_t>(lingua);
    window->CaricaListe();
    window->SetLingua();
}

void MainWindowTest::expectAfter(const std::function<void()>& act, const std::vector<std::string>& frames,
                                 std::initializer_list<std::pair<const char*, QString>> shown) {
    bus->clearFrames();
    act();
    EXPECT_EQ(framesHex(), frames);
    for (const auto& [control, want] : shown)
        EXPECT_EQ(text(control), want) << control;
}
