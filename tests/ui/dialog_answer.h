// Answers a modal dialog from inside its own event loop, so window tests run without a person.
#pragma once
#include <QDialog>
#include <QTimer>
#include <functional>

namespace orvu::test {

// A result no button of ours gives: the answer left the dialog open.
inline constexpr int kDialogLeftOpen = 77;

// The next time the event loop runs, notes whether the dialog is showing and runs answer.
// A dialog the answer failed to close is closed with kDialogLeftOpen, so a fault fails the
// test instead of hanging it.
inline void AnswerWhenShown(QDialog& dialog, std::function<void(QDialog&)> answer,
                            bool* wasShown = nullptr) {
  QTimer::singleShot(0, &dialog, [&dialog, answer = std::move(answer), wasShown] {
    if (wasShown) *wasShown = dialog.isVisible();
    answer(dialog);
    if (dialog.isVisible()) dialog.done(kDialogLeftOpen);
  });
}

}  // namespace orvu::test
