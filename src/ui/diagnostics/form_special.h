#pragma once
#include <QWidget>
#include <memory>

class DriveLine;
class QPlainTextEdit;
class QPushButton;
class SpecialTests;

// Shows the diagnostics window, not modal; one instance, created on first use.
void ShowDiagnostics(QWidget* owner, DriveLine& line);
// The window if it is open (for tests and the main window), else nullptr.
class Form_SPECIAL* DiagnosticsWindow();

// The diagnostics window: encoder test, endless analog-to-position loop, random step test.
// Its texts are the same in every language.
class Form_SPECIAL : public QWidget {
    Q_OBJECT
  public:
    explicit Form_SPECIAL(DriveLine& line, QWidget* parent = nullptr);
    ~Form_SPECIAL() override;

    SpecialTests& tests() { return *tests_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void Command_testenc_Click();
    void Command_Loop_Click();
    void Command_teststep_Click();
    void Command_Stop_Click();
    // Runs one test; the session outlives the window should it go while the test waits.
    template <typename Run> void runTest(Run run);

    std::shared_ptr<SpecialTests> tests_;
    QPushButton* Command_Loop = nullptr;
    QPushButton* Command_testenc = nullptr;
    QPushButton* Command_teststep = nullptr;
    QPushButton* Command_Stop = nullptr;
    QPlainTextEdit* Text1 = nullptr;
    bool closePending_ = false;
};
