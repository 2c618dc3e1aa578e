#include "output/ExportFlow.h"

#include <QDir>
#include <QGuiApplication>

#include "gui/Context.h"
#include "gui/MessageBoxes.h"
#include "output/CitizenSelection.h"
#include "output/ExportFile.h"
#include "output/FileReplacement.h"
#include "output/OutputFile.h"
#include "storage/Database.h"

namespace output {

namespace {

const QString kFailureTitle = QStringLiteral("Ошибка экспорта");

// The window does not respond while the file is built; the pointer says so.
class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// Loads the citizens and writes their file under the chosen name with their number. Returns
// the message of a failure, or the empty text once the file is complete or the user chose
// not to replace an existing one (then `written` is false).
QString WriteFile(QWidget* parent, gui::Context& context, const QString& chosen,
                  const QList<int>& keys, bool& written) {
    written = false;
    QString file = chosen;
    try {
        QList<citizens::IGFormData> citizens;
        {
            const WaitCursor wait;
            citizens = LoadCitizensByKeys(context.db, keys, false);
        }
        file = FileNameWithCount(chosen, static_cast<int>(citizens.size()));
        if (!MayReplaceOutputFile(parent, file))
            return {};
        const WaitCursor wait;
        WriteExportFile(context.db, file, citizens);
        written = true;
        return {};
    } catch (const FileWriteError& error) {
        return QStringLiteral("Файл «%1» не записан: %2.")
            .arg(QDir::toNativeSeparators(file), error.reason());
    } catch (const storage::DatabaseError& error) {
        return QStringLiteral("Файл «%1» не записан: %2")
            .arg(QDir::toNativeSeparators(file), storage::DescribeDatabaseError(error));
    }
}

}  // namespace

void ExportCitizenFile(QWidget* parent, gui::Context& context, int listedCount,
                       const QList<int>& markedKeys) {
    const QString chosen = ChooseOutputFile(
        parent, context, listedCount, !markedKeys.isEmpty(),
        {QStringLiteral("Не найдено ИГ для экспортирования."),
         QStringLiteral("XML File (*.xml);;All Files (*.*)"), QStringLiteral(".xml")});
    if (chosen.isEmpty())
        return;
    bool written = false;
    if (const QString failure = WriteFile(parent, context, chosen, markedKeys, written);
        !failure.isEmpty()) {
        gui::MessageBoxes::error(parent, kFailureTitle, failure);
        return;
    }
    if (!written)
        return;
    gui::MessageBoxes::information(parent, QStringLiteral("Операция завершена"),
                                   QStringLiteral("Экспорт результатов завершен"));
}

}  // namespace output
