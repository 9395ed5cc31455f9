#pragma once
// The bus scan window: which drives answer on the line, with type, release and response time.
#include "jobs/busscan.h"

#include <QDialog>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;

class Form_Scan : public QDialog {
    Q_OBJECT
  public:
    // `chooseAddress` is called with the address of a double-clicked row.
    explicit Form_Scan(DriveLine& line, std::function<void(int)> chooseAddress, QWidget* parent = nullptr);
    void SetLingua();
    // Runs a whole scan under the bus guard (refused with a beep while another operation runs).
    void StartScan();
    void Cancel() { cancelled_ = true; }
    bool running() const { return running_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

  private:
    void ShowOutcome(const ScanOutcome& outcome);

    DriveLine& line_;
    std::function<void(int)> chooseAddress_;
    QLabel* status_;
    QProgressBar* progress_;
    QTableWidget* table_;
    QPushButton* start_;
    QPushButton* cancel_;
    QPushButton* close_;
    bool cancelled_ = false;
    bool running_ = false;
};

// Shows the scan window, not modal; one instance; starts a scan.
void ShowBusScan(QWidget* owner, DriveLine& line, std::function<void(int)> chooseAddress);
