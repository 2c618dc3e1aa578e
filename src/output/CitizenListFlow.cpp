#include "output/CitizenListFlow.h"

#include <optional>

#include "gui/Context.h"
#include "gui/MessageBoxes.h"
#include "output/CitizenSelection.h"
#include "output/FileNames.h"
#include "output/OfficeMessages.h"
#include "output/OfficeOutputs.h"
#include "output/OfficeRun.h"
#include "output/OutputFile.h"
#include "storage/Database.h"

namespace output {

namespace {

const QString kFileErrorTitle = QStringLiteral("Ошибка работы с файлом");

OfficeError WriteList(gui::Context& context, const QString& fileName,
                      const QList<citizens::IGFormData>& citizens, OfficeRun* office) {
    std::optional<OfficeRun> own;
    OfficeRun& run = office ? *office : own.emplace();
    const OfficeBusy busy(run);
    return WriteCitizenListWorkbook(run, fileName, citizens, context.lists);
}

// The marked citizens without their photos; false, after saying why, when the database
// cannot be read.
bool ReadCitizens(QWidget* parent, gui::Context& context, const QList<int>& keys,
                  QList<citizens::IGFormData>& citizens) {
    try {
        citizens = LoadCitizensByKeys(context.db, keys, false);
        return true;
    } catch (const storage::DatabaseError& error) {
        gui::MessageBoxes::error(parent, QStringLiteral("Ошибка экспорта"),
                                 storage::DescribeDatabaseError(error));
        return false;
    }
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
    const QString chosen =
        ChooseOutputFile(parent, context, listedCount, !markedKeys.isEmpty(),
                         {QStringLiteral("Не найдено ИГ для экспортирования в excel."),
                          QStringLiteral("Excel files(*.xls)"), QStringLiteral(".xls")});
    if (chosen.isEmpty())
        return;
    QList<citizens::IGFormData> citizens;
    // The photos are not part of the list: they are not read.
    if (!ReadCitizens(parent, context, markedKeys, citizens))
        return;
    const QString fileName = FileNameWithCount(chosen, static_cast<int>(citizens.size()));
    if (!MayReplaceOutputFile(parent, fileName))
        return;
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
