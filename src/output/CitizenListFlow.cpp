#include "output/CitizenListFlow.h"

#include <QDateTime>
#include <QDir>
#include <optional>

#include "gui/Context.h"
#include "gui/FileDialogs.h"
#include "gui/MessageBoxes.h"
#include "output/CitizenSelection.h"
#include "output/FileNames.h"
#include "output/OfficeMessages.h"
#include "output/OfficeOutputs.h"
#include "output/OfficeRun.h"

namespace output {

namespace {

const QString kFileErrorTitle = QStringLiteral("Ошибка работы с файлом");

// The file the save dialog proposes: the output name in the start folder.
QString ProposedFile(gui::Context& context) {
    return QDir(context.startFolder)
        .filePath(SafeFileName(DefaultOutputName(context.db, QDateTime::currentDateTime()),
                               QStringLiteral(".xls")));
}

OfficeError WriteList(gui::Context& context, const QString& fileName,
                      const QList<citizens::IGFormData>& citizens, OfficeRun* office) {
    std::optional<OfficeRun> own;
    OfficeRun& run = office ? *office : own.emplace();
    const OfficeBusy busy(run);
    return WriteCitizenListWorkbook(run, fileName, citizens, context.lists);
}

// A file that could not be saved: in use, or not writable; the second box names it.
void ShowFileError(QWidget* parent, const OfficeError& error) {
    gui::MessageBoxes::error(parent, kFileErrorTitle,
                             QStringLiteral("Выбранный файл используется другим приложением"));
    gui::MessageBoxes::error(parent, kFileErrorTitle, OfficeStopText(error));
}

}  // namespace

void ExportCitizenList(QWidget* parent, gui::Context& context, int listedCount,
                       const QList<int>& markedKeys, OfficeRun* office) {
    if (listedCount == 0) {
        gui::MessageBoxes::error(parent, QStringLiteral("Ошибка экспорта"),
                                 QStringLiteral("Не найдено ИГ для экспортирования в excel."));
        return;
    }
    const QString chosen = gui::FileDialogs::getSaveFileName(
        parent, QStringLiteral("Сохранить как"), ProposedFile(context),
        QStringLiteral("Excel files(*.xls)"));
    if (chosen.isEmpty())
        return;
    if (markedKeys.isEmpty()) {
        gui::MessageBoxes::warning(parent, QStringLiteral("Экспорт"),
                                   QStringLiteral("Не отмечено ИГ для экспортирования"));
        return;
    }
    // The photos are not part of the list: they are not read.
    const QList<citizens::IGFormData> citizens = LoadCitizensByKeys(context.db, markedKeys, false);
    const QString fileName = FileNameWithCount(WithDefaultSuffix(chosen, QStringLiteral(".xls")),
                                               static_cast<int>(citizens.size()));
    const OfficeError error = WriteList(context, fileName, citizens, office);
    if (error.kind == OfficeError::Kind::SaveFailed) {
        ShowFileError(parent, error);
        return;
    }
    if (error.isError()) {
        ShowOfficeError(parent, error);
        return;
    }
    gui::MessageBoxes::information(parent, QStringLiteral("Операция завершена"),
                                   QStringLiteral("Экспорт результатов в Excel завершен"));
}

}  // namespace output
