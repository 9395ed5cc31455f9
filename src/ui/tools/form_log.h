#pragma once
// The communication log window: every frame and reply of every window, newest at the bottom.
#include "line/trafficlog.h"

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <QWidget>

class QCheckBox;
class QPushButton;
class QTableView;

// The log of this run: records from its first use (the program starts it at once).

class TrafficLogModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    // The whole entry as one line of text (what copy and save write).
    static constexpr int LineRole = Qt::UserRole + 1;
    // True for the live monitor's traffic.
    static constexpr int MonitorRole = Qt::UserRole + 2;

    explicit TrafficLogModel(TrafficLog& log, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void clear();
    // Shows what the log gained (and lost off its front) since the last refresh. A timer calls
    // it a few times a second, so recording never waits for the view.
    void refresh();

  private:
    const LogEntry* entry(int row) const;

    TrafficLog& log_;
    unsigned long long shownFirst_ = 0; // sequence of the first row shown
    unsigned long long shownEnd_ = 0;   // sequence after the last row shown
};

// The rows the log window shows: all, or all but the monitor's.
class TrafficLogFilter : public QSortFilterProxyModel {
    Q_OBJECT
  public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void setHideMonitor(bool hide);
    bool hideMonitor() const { return hideMonitor_; }

  protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override;

  private:
    bool hideMonitor_ = false;
};

class Form_Log : public QWidget {
    Q_OBJECT
  public:
    explicit Form_Log(TrafficLog& log, QWidget* parent = nullptr);
    void SetLingua();
    TrafficLogModel& model() { return model_; }
    // The text a save writes: one line per entry shown.
    QString LogText() const;
    // Copies the selected lines (all when none is selected) to the clipboard.
    void CopySelected();
    void SaveAs();

  private:
    bool shown(const LogEntry& entry) const;

    TrafficLog& log_;
    TrafficLogModel model_;
    TrafficLogFilter filter_;
    QTableView* view_;
    QCheckBox* hideMonitor_;
    QPushButton* copy_;
    QPushButton* clear_;
    QPushButton* save_;
    QPushButton* close_;
};

// Shows the log window, not modal; one instance.
void ShowCommunicationLog(QWidget* owner, TrafficLog& log);
