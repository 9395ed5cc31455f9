#pragma once
// A main window on the simulated bus, started in a scratch working directory (the window reads
// and writes its configuration file there), with helpers to click and read its controls.
#include "sim_fixture.h"
#include "ui/main/form_main.h"

#include <QComboBox>
#include <QString>
#include <QTemporaryDir>
#include <deque>
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

    std::unique_ptr<Form_main> window;

  private:
    QTemporaryDir dir_;
    QString oldDir_;
};

// A port whose drive answers each frame with the next scripted reply, after a delay in real
// milliseconds (or not at all for a missing reply). Frames written are kept.
class ReplyPort : public SerialPort {
    Q_OBJECT
  public:
    struct Reply {
        std::string bytes;
        int delayMs = 0;
    };
    std::deque<Reply> replies;
    std::vector<std::string> frames;

    bool isOpen() const override { return open_; }
    void close() override;
    void setPortNumber(int) override {}
    void setSettings(const std::string&) override {}
    bool open() override;
    std::string errorText() const override { return "adapter removed"; }
    std::string deviceName() const override { return "test"; }
    bool write(const std::string& bytes) override;
    int bytesWaiting() const override { return static_cast<int>(input_.size()); }
    std::string readAll() override;
    // The adapter vanishes after `ms` milliseconds.
    void pullPlugAfter(int ms);

  private:
    bool open_ = false;
    std::string input_;
    unsigned generation_ = 0;
};
