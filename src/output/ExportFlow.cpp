#include "output/ExportFlow.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

#include "gui/Context.h"
#include "gui/FileDialogs.h"
#include "gui/MessageBoxes.h"
#include "output/CitizenSelection.h"
#include "output/ExportFile.h"
#include "output/FileReplacement.h"
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

// The proposed file: a "/" of the organisation's name cannot be part of a file name.
QString ProposedFile(gui::Context& context) {
    QString name = DefaultOutputName(context.db, QDateTime::currentDateTime());
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return QDir(context.startFolder).filePath(name + QStringLiteral(".xml"));
}

// The final file takes the number of citizens into the chosen name: the save dialog asked
// about the chosen name, so a file already under the final name is asked about here.
bool MayWrite(QWidget* parent, const QString& file) {
    if (!QFileInfo::exists(file))
        return true;
    return gui::MessageBoxes::askYesNo(parent, QStringLiteral("Экспорт"),
                                       QStringLiteral("Файл «%1» уже существует.\nЗаменить его?")
                                           .arg(QDir::toNativeSeparators(file)));
}

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
        if (!MayWrite(parent, file))
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
    const QString proposed = ProposedFile(context);
    if (listedCount == 0) {
        gui::MessageBoxes::error(parent, kFailureTitle,
                                 QStringLiteral("Не найдено ИГ для экспортирования."));
        return;
    }
    QString chosen =
        gui::FileDialogs::getSaveFileName(parent, QStringLiteral("Сохранить как"), proposed,
                                          QStringLiteral("XML File (*.xml);;All Files (*.*)"));
    if (chosen.isEmpty())
        return;
    if (markedKeys.isEmpty()) {
        gui::MessageBoxes::warning(parent, QStringLiteral("Экспорт"),
                                   QStringLiteral("Не отмечено ИГ для экспортирования"));
        return;
    }
    if (QFileInfo(chosen).suffix().isEmpty())
        chosen += QStringLiteral(".xml");
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
