#include "app/Application.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <exception>

#include "gui/MessageBoxes.h"
#include "storage/Database.h"

namespace app {

namespace {

void InstallRussianTexts(QApplication& application) {
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    auto* translator = new QTranslator(&application);
    if (translator->load(QStringLiteral("qtbase_ru"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
}

}  // namespace

QString ProductTitle() {
    return QStringLiteral("Вельтар\u00A0Ортис");
}

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    InstallRussianTexts(*this);
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const storage::DatabaseError& e) {
        // A read the windows do not guard (a search, opening a record): the user is told what
        // the database met, and the program goes on.
        qWarning("Database error: %s", e.what());
        gui::MessageBoxes::error(nullptr, QStringLiteral("Ошибка базы данных"),
                                 storage::DescribeDatabaseError(e));
    } catch (const std::exception& e) {
        ReportUnexpectedError(QString::fromUtf8(e.what()));
    } catch (...) {
        ReportUnexpectedError(QStringLiteral("unknown exception"));
    }
    return false;
}

void ReportUnexpectedError(const QString& detail) {
    qWarning("Unexpected error: %s", qUtf8Printable(detail));
    gui::MessageBoxes::error(nullptr, QStringLiteral("Системная ошибка"),
                             QStringLiteral("Произошла внутренняя ошибка приложения"));
}

}  // namespace app
