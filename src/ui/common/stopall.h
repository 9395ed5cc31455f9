#pragma once
// Stop all drives: F12 in every window of the program (message boxes and prompts included),
// the action for menus and the red button. One per line; it lives as long as the line.
#include <QObject>
#include <QPointer>
#include <QString>
#include <string>
#include <vector>

class DriveLine;
enum class Outcome;
class QAction;
class QPushButton;
class QWidget;

class StopAllDrives : public QObject {
    Q_OBJECT
  public:
    // The one of `line`, made on first use. It watches every key of the program from then on.
    static StopAllDrives& Of(DriveLine& line);
    // The broadcast Stop towards the port of the settings, ahead of whatever holds the line. A
    // port that cannot be opened is told in the usual message box; `reported` says either way.
    void trigger();
    QAction* action() const { return action_; }
    // A red button with the action's text, always enabled.
    QPushButton* button(QWidget* parent);
    // The texts of the action and the buttons in the language in force.
    void setTexts();

  signals:
    // For the status line: whether the stop went out, in words.
    void reported(const QString& text, bool sent);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    explicit StopAllDrives(DriveLine& line);
    void failed(Outcome outcome, const std::string& error);
    DriveLine& line_;
    bool awaiting_ = false; // the stop's first frame is held back; its outcome is told later
    QAction* action_;
    std::vector<QPointer<QPushButton>> buttons_;
};
