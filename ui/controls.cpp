#include "ui/controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QStyledItemDelegate>

#include "ui/value_list_model.h"

namespace orvu {

namespace {

template <class Control>
Control* Named(Control* control, const char* name) {
  control->setObjectName(QString::fromLatin1(name));
  return control;
}

// Lines of one height whatever the font's: the lists' geometry was drawn for it. A delegate
// rather than a style sheet, which would give the list and its scroll bars a style of their own
// (parsed, polished and painted through the sheet) for this one length.
class FixedHeightLines : public QStyledItemDelegate {
 public:
  FixedHeightLines(int height, QObject* parent) : QStyledItemDelegate(parent), height_(height) {}

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(height_);
    return size;
  }

 private:
  int height_;
};

}  // namespace

QGroupBox* Group(const char* name, const QString& title, QWidget* parent, int x, int y, int w,
                 int h) {
  auto* box = Named(new QGroupBox(title, parent), name);
  box->setGeometry(x, y, w, h);
  return box;
}

QLabel* Label(const char* name, const QString& text, QWidget* parent, int x, int y) {
  auto* label = Named(new QLabel(text, parent), name);
  label->move(x, y);
  label->adjustSize();
  return label;
}

QCheckBox* Check(const char* name, const QString& text, QWidget* parent, int x, int y) {
  auto* box = Named(new QCheckBox(text, parent), name);
  box->move(x, y);
  box->adjustSize();
  return box;
}

QPushButton* Button(const char* name, const QString& text, QWidget* parent, int x, int y, int w,
                    int h) {
  auto* button = Named(new QPushButton(text, parent), name);
  button->setGeometry(x, y, w, h);
  return button;
}

QComboBox* ValueList(const char* name, QWidget* parent, int x, int y, int w,
                     std::function<std::string(uint16_t)> text) {
  auto* list = Named(new QComboBox(parent), name);
  list->setGeometry(x, y, w, 22);
  list->setModel(new ValueListModel(std::move(text), list));
  list->setMaxVisibleItems(20);
  return list;  // its drop-down part comes later: PrepareValueListPopups
}

void PrepareValueListPopups(QWidget* window) {
  for (QComboBox* list : window->findChildren<QComboBox*>()) {
    if (!dynamic_cast<ValueListModel*>(list->model())) continue;
    // Never sized to its contents: that walks every item on each refill.
    list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    if (auto* view = qobject_cast<QListView*>(list->view())) view->setUniformItemSizes(true);
  }
}

QListWidget* LineList(QListWidget* list, const char* name, int x, int y, int w, int h,
                      int itemHeight) {
  Named(list, name);
  list->setGeometry(x, y, w, h);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  // Every line is measured (uniform sizes would take the first line's width for all) and none
  // is shortened with an ellipsis: a line wider than the list brings the sideways scroll bar.
  list->setUniformItemSizes(false);
  list->setTextElideMode(Qt::ElideNone);
  list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  list->setItemDelegate(new FixedHeightLines(itemHeight, list));
  return list;
}

}  // namespace orvu
