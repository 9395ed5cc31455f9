#pragma once
// The live monitor window: the current drive's position, status, I/O and analog input, polled
// at a chosen rate, shown as decoded values, lamps and curves, and exported as CSV.
#include "line/drivemonitor.h"

#include <QWidget>
#include <array>

class MonitorCurve;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

class Form_Monitor : public QWidget {
    Q_OBJECT
  public:
    explicit Form_Monitor(DriveLine& line, QWidget* parent = nullptr);
    void SetLingua();
    DriveMonitor& monitor() { return monitor_; }

    void Start();
    void Stop();
    void Clear();
    void Export();
    // Brings the display up to date with the monitor (a timer calls it a few times a second).
    void Refresh();
    // Follows the address, language and port chosen in the main window (it says when they change).
    void Follow();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildControls();
    void applyOptions();
    void onFailed(Outcome outcome, const QString& error);
    void showLamps(std::array<QLabel*, 8>& lamps, const std::optional<long long>& value);
    void showState();

    DriveMonitor monitor_;
    std::array<QCheckBox*, ReadCount> reads_{};
    std::array<QLineEdit*, ReadCount> values_{};
    std::array<QLabel*, 8> statusLamps_{};
    std::array<QLabel*, 8> inputLamps_{};
    QComboBox* rate_ = nullptr;
    QLabel* address_ = nullptr;
    QLabel* state_ = nullptr;
    QLabel* achieved_ = nullptr;
    QLabel* misses_ = nullptr;
    MonitorCurve* position_ = nullptr;
    MonitorCurve* analog_ = nullptr;
    size_t shownSamples_ = 0; // samples drawn at the last refresh
    long long shownNewest_ = -1;
    BusUse pausedBy_ = BusUse::Command;
    int lingua_ = 0; // language of the texts shown
};

// Shows the monitor window, not modal; one instance.
Form_Monitor* ShowMonitor(QWidget* owner, DriveLine& line);
