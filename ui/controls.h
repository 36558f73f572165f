// Builders of the windows' controls: each control is named as the window designs it (tests and
// the help find it by that name) and placed at its geometry in pixels within its parent.
#pragma once
#include <QString>
#include <cstdint>
#include <functional>
#include <string>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QWidget;

namespace orvu {

QGroupBox* Group(const char* name, const QString& title, QWidget* parent, int x, int y, int w,
                 int h);
// Labels and check boxes take the size of their text.
QLabel* Label(const char* name, const QString& text, QWidget* parent, int x, int y);
QCheckBox* Check(const char* name, const QString& text, QWidget* parent, int x, int y);
QPushButton* Button(const char* name, const QString& text, QWidget* parent, int x, int y, int w,
                    int h);
// A single-selection list of text lines, itemHeight pixels each. A line longer than the list
// is wide is shown whole: the list then scrolls sideways.
// A drop-down list of 16-bit values, 22 pixels high, whose item texts (Windows-1250) are made
// only when shown (see ValueListModel).
QComboBox* ValueList(const char* name, QWidget* parent, int x, int y, int w,
                     std::function<std::string(uint16_t)> text);
// Builds the drop-down part of every such list in window (a dozen widgets each, which Qt would
// otherwise build at the first drop-down) and sets it up for long lists. Until then a list
// works as well, only its first drop-down is slower.
void PrepareValueListPopups(QWidget* window);
QListWidget* LineList(QListWidget* list, const char* name, int x, int y, int w, int h,
                      int itemHeight);

// Disables a control built above; returns it, so that building and disabling read as one.
template <class Control>
Control* Disabled(Control* control) {
  control->setEnabled(false);
  return control;
}

}  // namespace orvu
