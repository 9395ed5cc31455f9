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

    // Builds the window (its load step runs now).
    void open();

    void click(const char* name);
    // The text a control shows (caption, title, list text, field text).
    QString text(const char* name) const;
    QComboBox* list(const char* name) const;
    // Types into a list's text without picking an item.
    void type(const char* name, const QString& text);
    // Picks the item showing `item`, as a click in the drop-down does.
    void pick(const char* name, const QString& item);
    // Switches the language as the language menu does after its dialog closed.
    void switchLanguage(int lingua);
    // The scenario of a window test: acts, then expects exactly `frames` on the line (sent
    // during the act) and each control showing its text.
    void expectAfter(const std::function<void()>& act, const std::vector<std::string>& frames,
                     std::initializer_list<std::pair<const char*, QString>> shown = {});

    std::unique_ptr<Form_main> window;

  private:
    QTemporaryDir dir_;
    QString oldDir_;
};
