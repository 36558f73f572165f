// The question before an action that would replace the passages while they hold unsaved
// edits: write them first, drop them, or do nothing.
#pragma once
#include <QString>

class QWidget;

namespace orvu {

enum class SaveAnswer { kSave, kDiscard, kCancel };

// A modal box titled "orvuQ46" (object name "SaveQuestion"): "Tak" (the default) saves, "Nie"
// drops the edits, "Anuluj" or Escape cancels.
SaveAnswer AskToSave(QWidget* parent, const QString& controllerName);

}  // namespace orvu
