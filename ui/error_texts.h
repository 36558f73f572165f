// The window's own words about failures that are not UErr (those keep their ErrText): what
// happened and what to do, in Polish; the system's words come last, on the details line, for
// whoever supports the installer. Every such text of the windows is here.
#pragma once
#include <QString>
#include <QStringList>
#include <cstdint>
#include <exception>
#include <vector>

#include "comm/failure_cause.h"
#include "ui/comm_outcome.h"

namespace orvu {

struct CauseWords {
  QString happened;  // %1: the UDP port, where the cause concerns one
  QString whatToDo;
};

// The words for a cause met by communication work.
const CauseWords& CommWords(FailureCause cause);
// The words for a cause met while writing a file; causes of no file failure read as kOther.
const CauseWords& FileWords(FailureCause cause);

// "Szczegóły: " and the system's words.
QString DetailsLine(const QString& systemWords);

// Choices that went stale while the action waited: the replacement pair the user chose is no
// longer offered; the controller to be written is no longer the current device.
QString PairGoneText();
QString ControllerChangedText();

// The box of an error object other than UErr that reached the error frame.
QString CommFailureText(const std::exception& error);
// The same from what was taken of the error where it was caught: its cause, the port it
// concerns and its own words.
QString CommFailureText(FailureCause cause, uint16_t port, const QString& systemWords);
// The box of a report file that could not be written.
QString ReportFailureText(const QString& path, FailureCause cause, const QString& systemWords);
// The box of a report whose controller stopped being the current device while the dialogs
// were open.
QString NoControllerReportText();

// The device of a menu's line left the list; the controller changed between a restore's
// preview and its "Zapisz".
QString DeviceGoneText();
QString RestoreChangedText();

// A backup file that could not be read, was refused (systemWords: the place and the reason),
// or could not be written.
QString BackupFileFailureText(const QString& path, FileFailure::Step step, FailureCause cause,
                              const QString& systemWords);

// A restore written but not verified, as its read-back showed it; the error texts (ErrText)
// end in a new line.
QString RestoreUnverifiedText(const QString& controller, const QString* writeError,
                              RestoreUnverified::ReadBack readBack, const QString* readError,
                              const QStringList& held);

// A line of the addresses behind a router that is no address: line number, its text, and
// whether only its port is wrong.
QString AddressRefusedText(int line, const QString& text, bool badPort);

// Every text of this file, placeholders included, for the tests that check that the boxes say
// nothing else.
std::vector<QString> AllErrorTexts();

}  // namespace orvu
