#include "app/StartUpLoading.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>

#include "app/Forms.h"
#include "app/TSplashForm.h"
#include "citizens/TIGEditForm.h"
#include "dictionaries/ReferenceLoader.h"
#include "gui/Context.h"
#include "gui/MessageBoxes.h"

namespace app {

namespace {

const QString kSystemErrorTitle = QStringLiteral("Системная ошибка");

struct RequiredFile {
    const char* path;
    const char* message;
};

// Two of the messages quote a name that differs by one letter from the file tested; users'
// instructions know them so.
const RequiredFile kRequiredFiles[] = {
    {dictionaries::kCountriesFile,
     "Не найден файл стран 'countries.xml'. Приложение будет закрыто."},
    {dictionaries::kProfessionsFile,
     "Не найден файл профессий 'professions.xml'. Приложение будет закрыто."},
    {dictionaries::kTerritoriesFile,
     "Не найден файл территорий 'territories.xml'. Приложение будет закрыто."},
    {dictionaries::kRegionsFile,
     "Не найден файл регионов 'regions.xml'. Приложение будет закрыто."},
    {dictionaries::kDistrictsFile,
     "Не найден файл районов 'district.xml'. Приложение будет закрыто."},
    {dictionaries::kPrefixesFile,
     "Не найден файл префиксов профессий 'profession_prefix.xml'. Приложение будет закрыто."},
    {dictionaries::kGenitiveProfessionsFile,
     "Не найден файл родительных падежей профессий 'profession_case.xml'. Приложение будет "
     "закрыто."},
    {"template/visaapplication.xls",
     "Не найден файл шаблона заявлений для визовых ИГ 'template/visaapplication.xls'. "
     "Приложение будет закрыто."},
    {"template/nonvisaapplication.xls",
     "Не найден файл шаблона заявлений для безвизовых ИГ 'template/nonvisaapplication.xls'. "
     "Приложение будет закрыто."},
    {"template/revert.doc",
     "Не найден файл шаблона обратной стороны заявления 'template/revert.doc'. Приложение "
     "будет закрыто."},
};

// The splash window is shown while the message loop does not run: paint it now, and let the
// window system show it, without taking user input.
void RepaintSplash(TSplashForm& splash) {
    splash.repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace

bool CheckRequiredFiles(const QString& folder, QWidget* parent) {
    const QDir start(folder);
    for (const RequiredFile& required : kRequiredFiles) {
        if (!QFileInfo::exists(start.filePath(QString::fromUtf8(required.path)))) {
            gui::MessageBoxes::error(parent, kSystemErrorTitle,
                                     QString::fromUtf8(required.message));
            QCoreApplication::quit();
            return false;
        }
    }
    return true;
}

void RunStartUpLoading(Forms& forms, gui::Context& context) {
    TSplashForm& splash = *forms.SplashForm;
    splash.show();
    // Messages are shown over the splash window, which may stay above other windows.
    if (!CheckRequiredFiles(context.startFolder, &splash))
        return;
    RepaintSplash(splash);
    // The citizen entry window waits hidden for its first command.
    forms.IGEditForm->hide();

    const dictionaries::LoadingProgress progress{
        [&splash](const QString& text) { splash.Label3->setText(text); },
        [&splash] { RepaintSplash(splash); }};
    QString error;
    if (!dictionaries::LoadReferenceLists(context.startFolder, context.lists, progress, &error)) {
        gui::MessageBoxes::error(&splash, kSystemErrorTitle, error);
        QCoreApplication::quit();
        return;
    }

    // The citizen entry window takes its three lists.
    forms.IGEditForm->TakeReferenceLists();
    splash.hide();
}

}  // namespace app
