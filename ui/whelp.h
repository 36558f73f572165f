// The help window: one read-only rich-text view showing one of three pages.
#pragma once
#include <QDialog>

class QTextBrowser;

class THelpWin : public QDialog {
  Q_OBJECT
 public:
  explicit THelpWin(QWidget* parent = nullptr);

  // Loads page 0, 1 or 2 and sets the caption; asking again for the page shown keeps the
  // view and its scroll position. Does not show the window.
  void SetPage(int index);
  int CurrentPage() const { return currentPage_; }

  QTextBrowser* HelpEdit = nullptr;

 private:
  int currentPage_ = -1;
};
