#include "gui/SaveFailure.h"

#include "gui/MessageBoxes.h"
#include "storage/Database.h"

namespace gui {

void ShowSaveFailure(QWidget* parent, const QString& what, const storage::DatabaseError& error) {
    qWarning("Save refused: %s", error.what());
    MessageBoxes::error(parent, QStringLiteral("Ошибка сохранения"),
                        QStringLiteral("Не удалось сохранить %1: ничего не записано.\n\n%2\n\n"
                                       "Введённые данные остались в окне: устраните причину и "
                                       "сохраните ещё раз.")
                            .arg(what, storage::DescribeDatabaseError(error)));
}

bool SaveOrReport(QWidget* parent, const QString& what, const std::function<void()>& save) {
    try {
        save();
        return true;
    } catch (const storage::DatabaseError& error) {
        ShowSaveFailure(parent, what, error);
        return false;
    }
}

bool DeleteOrReport(QWidget* parent, const QString& what, const std::function<void()>& remove) {
    try {
        remove();
        return true;
    } catch (const storage::DatabaseError& error) {
        qWarning("Deletion refused: %s", error.what());
        MessageBoxes::error(parent, QStringLiteral("Ошибка удаления"),
                            QStringLiteral("Не удалось удалить %1: ничего не удалено.\n\n%2")
                                .arg(what, storage::DescribeDatabaseError(error)));
        return false;
    }
}

}  // namespace gui
