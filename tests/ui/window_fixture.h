// The main window over the in-process simulated LAN with a manual clock: real widgets, real
// frames, no sockets and no waiting. Error boxes are recorded instead of shown.
#pragma once
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QListWidget>
#include <QSignalBlocker>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "model/ctrlcfg.h"
#include "sim/clock.h"
#include "sim/lan.h"
#include "sim/scenario.h"
#include "ui/endpoint_ref.h"
#include "ui/lokdlg.h"
#include "ui/mainwin.h"
#include "ui/multi_row_tab_bar.h"
#include "ui/whelp.h"

namespace orvu::test {

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    lan.SetEchoBroadcast(false);
    TMainWin::SetErrorHook([this](const QString& text) { errors.push_back(text); });
  }
  void TearDown() override {
    win.reset();
    TMainWin::SetErrorHook(nullptr);
  }

  // Creates the window: its creation runs the first search and list refresh. The worker runs
  // every job inline, so each handler has done its work when it returns.
  TMainWin& Start() {
    win = std::make_unique<TMainWin>([this] { return std::make_unique<EndpointRef>(lan); },
                                     TMainWin::CommMode::kInline);
    win->UDPTimer->stop();  // ticks are driven by the test
    return *win;
  }

  // The user chooses line row of the Ethernet list.
  void ChooseDevice(int row) {
    {
      QSignalBlocker quiet(win->EthLstBox);
      win->EthLstBox->setCurrentRow(row);
    }
    win->EthLstBoxClick();
  }

  // The user picks the item carrying value in a drop-down list; false when it is not offered.
  static bool Choose(QComboBox* list, int value) {
    int index = list->findData(value);
    if (index < 0) return false;
    list->setCurrentIndex(index);
    emit list->activated(index);
    return true;
  }

  static std::vector<int> Items(const QComboBox* list) {
    std::vector<int> values;
    for (int i = 0; i < list->count(); ++i) values.push_back(list->itemData(i).toInt());
    return values;
  }

  static QString Line(const QListWidget* list, int row) {
    return list->item(row) ? list->item(row)->text() : QString();
  }

  ManualClock clock;
  SimLan lan{clock};
  std::vector<QString> errors;
  std::unique_ptr<TMainWin> win;
};

// What "Raport" needs beside the window: the help window and the location dialog set on it,
// and a fresh folder for the file. Lives no longer than the test, like the window.
struct ReportRig {
  explicit ReportRig(TMainWin& w) { w.SetAuxWindows(&help, &lokaliz); }
  QString Path(const QString& name) const { return dir.filePath(name); }

  THelpWin help;
  TLokalizDlg lokaliz;
  QTemporaryDir dir;
};

// The small installation's bus (device indices in the controller's list): 0 the controller
// (relay outputs), 1 the elevator module (open-collector), 2-4 readers, 5 a keypad, 6 an
// inactive reader, 7 a new reader of the same type.
constexpr int Ref(int device, int channel, bool nc = false) {
  return device * 256 + channel + (nc ? kNcBit : 0);
}
inline constexpr int kNone = kNoRef;

// Offsets into a passage payload of n passages.
inline size_t OutputOffset(int p, int slot) { return 2 + 36 * size_t(p) + 2 * size_t(slot); }
inline size_t InputOffset(int p, int slot) { return OutputOffset(p, 4 + slot); }
inline size_t ReaderOffset(int p, int slot) { return OutputOffset(p, 14 + slot); }
inline void PutRef(std::vector<uint8_t>& payload, size_t offset, int ref) {
  payload[offset] = uint8_t(ref & 0xFF);
  payload[offset + 1] = uint8_t(ref >> 8);
}

}  // namespace orvu::test
