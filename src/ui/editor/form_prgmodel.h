#pragma once
// The editor grid's rows, served from PrgGrid::GridRows.
#include "model/prggrid.h"

#include <QAbstractTableModel>

class PrgGridModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    PrgGridModel(const PrgGrid& grid, QObject* parent);

    void setCaptions(const QString& hex, const QString& description);
    // The rows changed: the view asks for them again.
    void refresh();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    const PrgGrid& grid_;
    QString captions_[2];
};
