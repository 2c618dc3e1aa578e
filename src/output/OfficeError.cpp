#include "output/OfficeError.h"

namespace output {

namespace {

QString ProgramName(OfficeError::Application application) {
    return application == OfficeError::Application::Calc ? QStringLiteral("LibreOffice Calc")
                                                         : QStringLiteral("LibreOffice Writer");
}

}  // namespace

QString OfficeErrorText(const OfficeError& error) {
    const QString program = ProgramName(error.application);
    const bool calc = error.application == OfficeError::Application::Calc;
    switch (error.kind) {
        case OfficeError::Kind::None:
            return {};
        case OfficeError::Kind::OfficeNotStarted:
            return QStringLiteral(
                       "Невозможно открыть %1!\nВозможно LibreOffice не установлен на "
                       "компьютере.")
                .arg(program);
        case OfficeError::Kind::WorkbookNotOpened:
        case OfficeError::Kind::DocumentNotOpened:
            return calc ? QStringLiteral("Ошибка открытия книги %1!").arg(program)
                        : QStringLiteral("Ошибка открытия документа %1!").arg(program);
        case OfficeError::Kind::SaveFailed:
            return calc ? QStringLiteral("Ошибка сохранения книги %1!").arg(program)
                        : QStringLiteral("Ошибка сохранения документа %1!").arg(program);
        case OfficeError::Kind::OfficeFailed:
            return QStringLiteral("Ошибка работы %1!").arg(program);
    }
    return {};
}

QString OfficeStopText(const OfficeError& error) {
    switch (error.kind) {
        case OfficeError::Kind::None:
            return {};
        case OfficeError::Kind::OfficeNotStarted:
        case OfficeError::Kind::WorkbookNotOpened:
        case OfficeError::Kind::DocumentNotOpened:
            if (error.file.isEmpty())
                return QStringLiteral("Работа прервана: не удалось создать новый файл.");
            return QStringLiteral("Работа прервана: не удалось открыть файл '%1'.").arg(error.file);
        case OfficeError::Kind::SaveFailed:
            return QStringLiteral("Работа прервана: не удалось сохранить файл '%1'.")
                .arg(error.file);
        case OfficeError::Kind::OfficeFailed:
            if (error.file.isEmpty())
                return QStringLiteral("Работа прервана: ошибка при работе с новым файлом.");
            return QStringLiteral("Работа прервана: ошибка при работе с файлом '%1'.")
                .arg(error.file);
    }
    return {};
}

}  // namespace output
