#include "ui/editor/form_prgmodel.h"

PrgGridModel::PrgGridModel(const PrgGrid& grid, QObject* parent) : QAbstractTableModel(parent), grid_(grid) {}

void PrgGridModel::setCaptions(const QString& hex, const QString& description) {
    captions_[0] = hex;
    captions_[1] = description;
    emit headerDataChanged(Qt::Horizontal, 0, 1);
}

void PrgGridModel::refresh() {
    beginResetModel();
    endResetModel();
}

int PrgGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : grid_.GridRowCount;
}

int PrgGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant PrgGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole) return {};
    return QString::fromStdString(grid_.Cell(index.row(), index.column()));
}

QVariant PrgGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal) return section >= 0 && section < 2 ? captions_[section] : QVariant();
    return section;
}
