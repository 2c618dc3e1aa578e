#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace storage {
class DatabaseError;
}

namespace gui {

// Tells the user that `what` ("данные иностранного гражданина", ...) was not saved because
// the database refused the write, why, and that what was entered stays in the window.
void ShowSaveFailure(QWidget* parent, const QString& what, const storage::DatabaseError& error);

// Runs the save of a dialog; when the database refuses it, shows ShowSaveFailure and returns
// false. The save must be one transaction, so that a refusal leaves nothing behind.
bool SaveOrReport(QWidget* parent, const QString& what, const std::function<void()>& save);

// The same for a deletion: "Не удалось удалить `what`" ("выбранные записи", ...).
bool DeleteOrReport(QWidget* parent, const QString& what, const std::function<void()>& remove);

}  // namespace gui
