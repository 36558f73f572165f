#include "ui/value_list_model.h"

#include "ui/qtext.h"

namespace orvu {

ValueListModel::ValueListModel(std::function<std::string(uint16_t)> text, QObject* parent)
    : QAbstractListModel(parent), text_(std::move(text)) {
  values_.reserve(64);
}

int ValueListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(values_.size());
}

QVariant ValueListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() < 0 || index.row() >= static_cast<int>(values_.size()))
    return {};
  uint16_t value = values_[static_cast<size_t>(index.row())];
  if (role == Qt::DisplayRole || role == Qt::EditRole) return QtText(text_(value));
  if (role == Qt::UserRole) return QVariant(static_cast<int>(value));
  return {};
}

void ValueListModel::Assign(const uint16_t* values, size_t count) {
  beginResetModel();
  values_.assign(values, values + count);
  endResetModel();
}

void ValueListModel::Clear() {
  beginResetModel();
  values_.clear();
  endResetModel();
}

int ValueListModel::ValueAt(int row) const {
  if (row < 0 || row >= static_cast<int>(values_.size())) return -1;
  return values_[static_cast<size_t>(row)];
}

}  // namespace orvu
