#include "output/OutputFile.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include "gui/Context.h"
#include "gui/FileDialogs.h"
#include "gui/MessageBoxes.h"
#include "output/CitizenSelection.h"
#include "output/FileNames.h"

namespace output {

QString ChooseOutputFile(QWidget* parent, gui::Context& context, int listedCount, bool anyMarked,
                         const OutputFileSteps& steps) {
    if (listedCount == 0) {
        gui::MessageBoxes::error(parent, QStringLiteral("Ошибка экспорта"), steps.nothingListed);
        return {};
    }
    const QString proposed =
        QDir(context.startFolder)
            .filePath(SafeFileName(DefaultOutputName(context.db, QDateTime::currentDateTime()),
                                   steps.suffix));
    const QString chosen = gui::FileDialogs::getSaveFileName(
        parent, QStringLiteral("Сохранить как"), proposed, steps.filter);
    if (chosen.isEmpty())
        return {};
    if (!anyMarked) {
        gui::MessageBoxes::warning(parent, QStringLiteral("Экспорт"),
                                   QStringLiteral("Не отмечено ИГ для экспортирования"));
        return {};
    }
    return WithDefaultSuffix(chosen, steps.suffix);
}

bool MayReplaceOutputFile(QWidget* parent, const QString& file) {
    if (!QFileInfo(file).isFile())
        return true;
    return gui::MessageBoxes::askYesNo(parent, QStringLiteral("Экспорт"),
                                       QStringLiteral("Файл «%1» уже существует.\nЗаменить его?")
                                           .arg(QDir::toNativeSeparators(file)));
}

}  // namespace output
