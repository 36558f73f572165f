#include "ui/report_action.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <string>
#include <vector>

#include "comm/cp1250.h"
#include "model/report.h"
#include "tests/ui/dialog_answer.h"
#include "ui/lokdlg.h"
#include "ui/report_name.h"
#include "ui/save_dialog.h"

namespace orvu {
namespace {

using test::AnswerWhenShown;

constexpr uint32_t kControllerId = (2u << 28) | (346u << 16) | 125;  // K46_00125
constexpr uint32_t kModuleId = (717u << 16) | 412;                  // D17_00412
const QDate kDate(2024, 5, 7);
constexpr ReportDate kReportDate{2024, 5, 7};

// The controller and an elevator module, one passage with its bolt on the module's output 1.
CtrlConfig OnePassageConfig() {
  CtrlConfig cfg;
  cfg.deviceCount = 2;
  cfg.devices[0].id = kControllerId;
  cfg.devices[1].id = kModuleId;
  cfg.listedCount = 2;
  cfg.listed[0] = 0;
  cfg.listed[1] = 1;
  cfg.passageCount = 1;
  std::fill(std::begin(cfg.outRefs[0]), std::end(cfg.outRefs[0]), kNoRef);
  std::fill(std::begin(cfg.inRefs[0]), std::end(cfg.inRefs[0]), kNoRef);
  std::fill(std::begin(cfg.rdRefs[0]), std::end(cfg.rdRefs[0]), kNoRef);
  cfg.outRefs[0][kSlotBolt] = 1 * 256 + 0;
  return cfg;
}

class ReportActionTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    devSet.dev[0] = DevView{kControllerId, 0x7F000001, 0x02, true};
    devSet.count = 1;
    devSet.sel = 0;
  }

  QString PathOf(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }

  void Run(QDate today = kDate) {
    RunReportAction(nullptr, lokalizDlg, saveDlg, cfg, devSet,
                    [this](const QString& text) { errors.push_back(text); }, today);
  }

  // Types text into the location dialog and presses "Zapisz".
  void AnswerLocation(const QString& text) {
    AnswerWhenShown(lokalizDlg, [this, text](QDialog&) {
      lokalizDlg.LokEdit->setText(text);
      lokalizDlg.OKBtn->click();
    });
  }

  QStringList FilesInDir() const {
    return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
  }

  static std::string FileBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return "<unreadable>";
    const QByteArray bytes = file.readAll();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
  }

  QTemporaryDir dir;
  TLokalizDlg lokalizDlg;
  SaveFileDialog saveDlg;
  CtrlConfig cfg = OnePassageConfig();
  DevSetView devSet;
  std::vector<QString> errors;
};

TEST_F(ReportActionTest, FileHoldsTheReportOfTheModelAsItIsWhenTheDialogsClose) {
  // An edit not yet written to the controller, made while the dialog is open; the location
  // holds a character Windows-1250 lacks.
  AnswerWhenShown(lokalizDlg, [this](QDialog&) {
    cfg.outRefs[0][kSlotAlarm] = 0 * 256 + 0 + kNcBit;
    lokalizDlg.LokEdit->setText(QStringLiteral("Budynek Ż, piętro 中"));
    lokalizDlg.OKBtn->click();
  });
  saveDlg.SetNextAnswer(PathOf("raport.txt"));
  Run();

  EXPECT_TRUE(errors.empty());
  const std::string written = FileBytes(PathOf("raport.txt"));
  EXPECT_EQ(written,
            ReportText(cfg, "K46_00125", Cp1250FromUtf8("Budynek Ż, piętro ?"), kReportDate));
  EXPECT_NE(written.find("K46_00125:Out1[NC]"), std::string::npos);
  EXPECT_EQ(FilesInDir(), QStringList{QStringLiteral("raport.txt")});
  EXPECT_EQ(saveDlg.LastPreset(),
            ReportFileName(kDate, FileDateSeparator(QLocale::system()), "K46_00125"));
}

TEST_F(ReportActionTest, ExistingFileIsReplacedWithoutAQuestion) {
  {
    QFile old(PathOf("raport.txt"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(5000, 'x'));
  }
  AnswerLocation(QString());
  saveDlg.SetNextAnswer(PathOf("raport.txt"));
  Run();
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(FileBytes(PathOf("raport.txt")), ReportText(cfg, "K46_00125", "", kReportDate));
}

TEST_F(ReportActionTest, CancelInEitherDialogWritesNothingAndKeepsTheText) {
  const struct {
    const char* name;
    bool cancelLocation;
    bool byKeys;  // Tab, Tab to "Anuluj", then Enter, typed through the dialog's window
  } cases[] = {{"Anuluj in the location dialog", true, false},
               {"Enter on Anuluj in the location dialog", true, true},
               {"cancel in the save dialog", false, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    AnswerWhenShown(lokalizDlg, [&](QDialog&) {
      lokalizDlg.LokEdit->setText(QStringLiteral("Brama główna"));
      if (c.byKeys) {
        ASSERT_TRUE(QTest::qWaitForWindowActive(&lokalizDlg));
        lokalizDlg.LokEdit->setFocus(Qt::OtherFocusReason);
        for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Return})
          QTest::keyClick(lokalizDlg.windowHandle(), key);
        return;
      }
      (c.cancelLocation ? lokalizDlg.CancelBtn : lokalizDlg.OKBtn)->click();
    });
    if (c.cancelLocation) {
      saveDlg.SetNextAnswer(PathOf("raport.txt"));  // would be written if wrongly reached
    } else {
      saveDlg.SetNextAnswer(std::nullopt);
    }
    Run();
    EXPECT_TRUE(FilesInDir().isEmpty());
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(lokalizDlg.LokEdit->text(), QStringLiteral("Brama główna"));
    saveDlg.SetNextAnswer(std::nullopt);
  }
}

TEST_F(ReportActionTest, SecondReportOffersTheFirstOnesDescriptionAndAFreshName) {
  AnswerLocation(QStringLiteral("Budynek A, parter"));
  saveDlg.SetNextAnswer(PathOf("pierwszy.txt"));
  Run(kDate);

  QString offered;
  AnswerWhenShown(lokalizDlg, [&](QDialog&) {
    offered = lokalizDlg.LokEdit->text();
    lokalizDlg.OKBtn->click();
  });
  saveDlg.SetNextAnswer(PathOf("drugi.txt"));
  Run(QDate(2024, 5, 8));

  EXPECT_EQ(offered, QStringLiteral("Budynek A, parter"));
  EXPECT_EQ(FileBytes(PathOf("drugi.txt")),
            ReportText(cfg, "K46_00125", "Budynek A, parter", ReportDate{2024, 5, 8}));
  EXPECT_EQ(saveDlg.LastPreset(),
            ReportFileName(QDate(2024, 5, 8), FileDateSeparator(QLocale::system()), "K46_00125"));
}

TEST_F(ReportActionTest, NothingHappensWithoutACurrentDevice) {
  const struct {
    int count;
    int sel;
  } cases[] = {{0, -1}, {1, -1}, {1, 1}, {1, 99}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "count " << c.count << ", sel " << c.sel);
    devSet.count = c.count;
    devSet.sel = c.sel;
    bool shown = true;
    AnswerWhenShown(lokalizDlg, [](QDialog& d) { d.accept(); }, &shown);
    saveDlg.SetNextAnswer(PathOf("raport.txt"));
    Run();
    QCoreApplication::processEvents();  // lets the pending answer find the dialog closed
    EXPECT_FALSE(shown);
    EXPECT_TRUE(saveDlg.LastPreset().isEmpty());
    EXPECT_TRUE(FilesInDir().isEmpty());
    EXPECT_TRUE(errors.empty());
  }
}

TEST_F(ReportActionTest, DeviceSetLosingItsCurrentDeviceMeanwhileIsReportedNotIgnored) {
  AnswerWhenShown(lokalizDlg, [this](QDialog&) {
    devSet.sel = -1;
    lokalizDlg.OKBtn->click();
  });
  saveDlg.SetNextAnswer(PathOf("raport.txt"));
  Run();
  EXPECT_EQ(errors.size(), 1u);
  EXPECT_TRUE(FilesInDir().isEmpty());
}

TEST_F(ReportActionTest, UnwritablePathShowsTheErrorAndLeavesNoFile) {
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("katalog")));
  const QString paths[] = {PathOf("brak/raport.txt"), PathOf("katalog")};
  for (const QString& path : paths) {
    SCOPED_TRACE(path.toStdString());
    errors.clear();
    AnswerLocation(QStringLiteral("Hala"));
    saveDlg.SetNextAnswer(path);
    Run();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors[0].contains(path));
    EXPECT_EQ(FilesInDir(), QStringList{QStringLiteral("katalog")});
    EXPECT_TRUE(QDir(PathOf("katalog")).isEmpty());
  }
}

}  // namespace
}  // namespace orvu
