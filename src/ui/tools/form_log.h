#pragma once
// The communication log window: every frame and reply of every window, newest at the bottom.
#include "link/trafficlog.h"

#include <QAbstractTableModel>
#include <QWidget>

class QPushButton;
class QTableView;

// The log of this run: records from its first use (the program starts it at once).
TrafficLog& ProgramTrafficLog();

class TrafficLogModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit TrafficLogModel(TrafficLog& log, QObject* parent = nullptr);
    ~TrafficLogModel() override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void clear();

  private:
    TrafficLog& log_;
};

class Form_Log : public QWidget {
    Q_OBJECT
  public:
    explicit Form_Log(QWidget* parent = nullptr);
    void SetLingua();
    TrafficLogModel& model() { return model_; }
    // The text a save writes: one line per entry shown.
    QString LogText() const;
    // Copies the selected lines (all when none is selected) to the clipboard.
    void CopySelected();
    void SaveAs();

  private:
    TrafficLogModel model_;
    QTableView* view_;
    QPushButton* copy_;
    QPushButton* clear_;
    QPushButton* save_;
    QPushButton* close_;
};

// Shows the log window, not modal; one instance.
void ShowCommunicationLog(QWidget* owner);
