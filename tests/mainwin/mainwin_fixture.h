#pragma once
// A main window on the simulated bus, started in a scratch working directory (the window reads
// and writes its configuration file there), with helpers to click and read its controls.
#include "sim_fixture.h"

#include "app/module1.h"
#include "ui/main/form_main.h"

#include <QComboBox>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <memory>
#include <ostream>

using Strings = std::vector<std::string>;

// Readable QStrings in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

// Runs `during` once an operation's first frame is out (a slow drive then keeps it waiting).
inline void WhenFirstSent(DriveLine& line, std::function<void()> during) {
    auto fired = std::make_shared<bool>(false);
    line.addObserver([&line, fired, during](const TrafficEvent& e) {
        if (e.kind != TrafficEvent::Sent || *fired) return;
        *fired = true;
        QTimer::singleShot(0, &line, during);
    });
}

class MainWindowTest : public SimFixture {
  protected:
    void SetUp() override {
        SimFixture::SetUp();
        oldDir_ = QDir::currentPath();
        ASSERT_TRUE(dir_.isValid() && QDir::setCurrent(dir_.path()));
    }
    void TearDown() override {
        window.reset();
        QDir::setCurrent(oldDir_);
        SimFixture::TearDown();
    }
    // Its load step runs now; on the fixture's line, or on `other` when a test brings one.
    void open() { window = std::make_unique<Form_main>(other ? *other : *line); }

    void click(const char* name) {
        QObject* o = window->findChild<QObject*>(name);
        const char* slot = o && o->metaObject()->indexOfSlot("click()") >= 0 ? "click" : "trigger";
        if (!o || !QMetaObject::invokeMethod(o, slot)) ADD_FAILURE() << "no control " << name;
    }
    // The caption, title, list text or field text a control shows.
    QString text(const char* name) const {
        QObject* o = window->findChild<QObject*>(name);
        for (const char* property : {"title", "currentText", "text"})
            if (o && o->property(property).isValid()) return o->property(property).toString();
        ADD_FAILURE() << "no control " << name;
        return {};
    }
    QComboBox* list(const char* name) const { return window->findChild<QComboBox*>(name); }
    void type(const char* name, const QString& t) { list(name)->setEditText(t); } // no item picked
    // Picks the item showing `item`, as a click in the drop-down does.
    void pick(const char* name, const QString& item) {
        QComboBox* c = list(name);
        const int i = c->findText(item, Qt::MatchExactly);
        ASSERT_GE(i, 0) << item.toStdString();
        c->setCurrentIndex(i);
        emit c->activated(i);
    }
    // As the language menu does after its dialog closed.
    void switchLanguage(int lingua) {
        Module1::Lingua = static_cast<int16_t>(lingua);
        window->CaricaListe();
        window->SetLingua();
    }
    // Acts, then expects exactly `frames` on the line (sent during the act) and each control
    // showing its text.
    void expectAfter(const std::function<void()>& act, const Strings& frames,
                     std::initializer_list<std::pair<const char*, QString>> shown = {}) {
        bus->clearFrames();
        act();
        EXPECT_EQ(framesHex(), frames);
        for (const auto& [control, want] : shown)
            EXPECT_EQ(text(control), want) << control;
    }

    std::unique_ptr<Form_main> window;
    DriveLine* other = nullptr;

  private:
    QTemporaryDir dir_;
    QString oldDir_;
};
