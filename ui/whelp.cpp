#include "ui/whelp.h"

#include <QFile>
#include <QFont>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <iterator>

// The pages live in a static library, whose resource registration the linker would drop.
static void RegisterHelpPages() { Q_INIT_RESOURCE(help); }

namespace {

struct HelpPage {
  const char16_t* caption;
  const char* resource;
};

constexpr HelpPage kPages[] = {
    {u"Okno Ethernet", ":/help/page0.html"},
    {u"Okno kontrolera", ":/help/page1.html"},
    {u"Okno Przejścia", ":/help/page2.html"},
};
constexpr int kPageCount = static_cast<int>(std::size(kPages));

QString ResourceText(const char* path) {
  QFile file(QString::fromLatin1(path));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll());
}

}  // namespace

THelpWin::THelpWin(QWidget* parent) : QDialog(parent) {
  RegisterHelpPages();
  setObjectName(QStringLiteral("HelpWin"));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setFont(QFont(QStringLiteral("Tahoma"), 8));
  resize(862, 639);

  HelpEdit = new QTextBrowser(this);
  HelpEdit->setObjectName(QStringLiteral("HelpEdit"));
  HelpEdit->setReadOnly(true);
  HelpEdit->setOpenLinks(false);
  HelpEdit->setOpenExternalLinks(false);
  HelpEdit->setLineWrapMode(QTextEdit::WidgetWidth);
  HelpEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  HelpEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  HelpEdit->setFont(QFont(QStringLiteral("Tahoma"), 8));
  // The three pages share one set of styles; it applies to every page loaded after it.
  HelpEdit->document()->setDefaultStyleSheet(ResourceText(":/help/help.css"));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(3, 3, 3, 3);
  layout->addWidget(HelpEdit);
}

void THelpWin::SetPage(int index) {
  // The page already shown keeps its view and scroll position.
  if (index == currentPage_ || index < 0 || index >= kPageCount) return;
  currentPage_ = index;
  const HelpPage& page = kPages[index];
  setWindowTitle(QString::fromUtf16(page.caption));
  HelpEdit->clear();
  HelpEdit->setHtml(ResourceText(page.resource));
}
