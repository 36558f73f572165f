// The window on the real network: a controller that no broadcast reaches (it sits behind a
// router) is listed once its address is entered in "Adresy kontrolerów za routerem…". Run by
// tests/app/namespaces_test.sh inside the network namespaces it builds, which sets
// ORVU_ROUTED_CONTROLLER to that controller's address; skipped anywhere else, since only there
// such a controller exists.
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <memory>
#include <string>

#include "comm/posix_udp.h"
#include "tests/ui/window_fixture.h"
#include "ui/router_addresses.h"

namespace orvu::test {
namespace {

class RoutedAddresses : public WindowTest {
 public:
  void SetUp() override {
    WindowTest::SetUp();
    SaveAddresses({});  // the address must come from the dialog, not from an earlier run
  }
  void TearDown() override {
    WindowTest::TearDown();
    SaveAddresses({});
  }

  // Whether a line of the Ethernet list shows a controller at ip (its second field: a longer
  // address that merely begins with ip does not count).
  bool Listed(const QString& ip) const {
    for (int row = 0; row < ui->EthLstBox->count(); ++row) {
      const QStringList fields = Line(ui->EthLstBox, row).split(QLatin1Char(','));
      if (fields.size() > 1 && fields[1].trimmed() == ip) return true;
    }
    return false;
  }

  std::string Lines() const {
    QStringList lines;
    for (int row = 0; row < ui->EthLstBox->count(); ++row) lines << Line(ui->EthLstBox, row);
    return lines.isEmpty() ? std::string("(no line)") : lines.join(QLatin1Char('\n')).toStdString();
  }
};

TEST_F(RoutedAddresses, AControllerBehindARouterIsListedAfterOk) {
  const QString routed = qEnvironmentVariable("ORVU_ROUTED_CONTROLLER");
  if (routed.isEmpty())
    GTEST_SKIP() << "set ORVU_ROUTED_CONTROLLER to a controller only unicast reaches "
                    "(tests/app/namespaces_test.sh does)";

  // The product's own endpoint: the controllers' port on every address, broadcasts on every
  // interface.
  win = std::make_unique<TMainWin>([] { return std::make_unique<PosixUdpEndpoint>(); },
                                   TMainWin::CommMode::kInline);
  ui.emplace(*win);
  ui->UDPTimer->stop();  // no periodic search beside the ones the test causes
  win->show();
  ASSERT_FALSE(Listed(routed)) << "found by broadcast, so this shows nothing:\n" << Lines();

  WhenShown(QStringLiteral("AddressesDlg"), [&](QWidget& dialog) {
    auto* edit = Named<QPlainTextEdit>(dialog, "AddressesEd");
    edit->setFocus();
    QTest::keyClicks(edit, routed);
    Click(Named<QPushButton>(dialog, "AddressesOkBtn"));
  });
  if (ui->EthLstBox->count() > 0) {
    ChooseInMenu(0, "AddressesAct");
  } else {
    // No line to click on: the menu key opens the menu just the same.
    WhenShown(QStringLiteral("EthMenu"), [this](QWidget& menu) { Pick(menu, "AddressesAct"); });
    QTest::keyClick(ui->EthLstBox, Qt::Key_Menu);
  }

  EXPECT_TRUE(Listed(routed)) << Lines();
  for (const QString& error : errors) ADD_FAILURE() << "error box: " << error.toStdString();
}

}  // namespace
}  // namespace orvu::test
