#pragma once
// A main window on the simulated bus, started in a scratch working directory (the window reads
// and writes its configuration file there), with helpers to click and read its controls.
#include "sim_fixture.h"
#include "ui/main/form_main.h"

#include <QComboBox>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <ostream>

// Readable QStrings in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

class MainWindowTest : public SimFixture {
  protected:
    void SetUp() override;
    void TearDown() override;
    void open() { window = std::make_unique<Form_main>(); } // its load step runs now
    void click(const char* name);
    QString text(const char* name) const; // caption, title, list text or field text
    QComboBox* list(const char* name) const { return window->findChild<QComboBox*>(name); }
    void type(const char* name, const QString& t) { list(name)->setEditText(t); } // no item picked
    void pick(const char* name, const QString& item); // as a click in the drop-down does
    // As the language menu does after its dialog closed.
    void switchLanguage(int lingua);
    // Acts, then expects exactly `frames` on the line (sent during the act) and each control
    // showing its text.
    void expectAfter(const std::function<void()>& act, const std::vector<std::string>& frames,
                     std::initializer_list<std::pair<const char*, QString>> shown = {});

    std::unique_ptr<Form_main> window;

  private:
    QTemporaryDir dir_;
    QString oldDir_;
};
