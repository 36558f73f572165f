// A drop-down list's items as 16-bit values (IoRef, ReplacePair) whose texts are made only when
// the list shows them: a refill is one model reset, with no per-item signals or relayout.
#pragma once
#include <QAbstractListModel>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orvu {

class ValueListModel : public QAbstractListModel {
 public:
  // text gives the Windows-1250 text of one item's value.
  ValueListModel(std::function<std::string(uint16_t)> text, QObject* parent);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  // Qt::DisplayRole: the text; Qt::UserRole: the value.
  QVariant data(const QModelIndex& index, int role) const override;

  void Assign(const uint16_t* values, size_t count);
  void Clear();
  // The value of a row, or -1 when the row does not exist.
  int ValueAt(int row) const;

 private:
  std::function<std::string(uint16_t)> text_;
  std::vector<uint16_t> values_;
};

}  // namespace orvu
