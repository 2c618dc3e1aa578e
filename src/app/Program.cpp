#include "app/Program.h"

#include <QScreen>
#include <exception>

#include "app/Application.h"
#include "app/Forms.h"
#include "app/StartUpLoading.h"
#include "app/TMainForm.h"
#include "gui/Context.h"
#include "gui/MessageBoxes.h"
#include "storage/Backups.h"
#include "storage/Database.h"
#include "storage/DatabaseConnector.h"

namespace app {

namespace {

const QString kDatabaseErrorTitle = QStringLiteral("Ошибка базы данных");
const QString kBackupTitle = QStringLiteral("Резервная копия базы данных");

}  // namespace

Program::Program(const QString& startFolder)
    : startFolder_(startFolder)
    , connector_(std::make_unique<storage::DatabaseConnector>(startFolder)) {}

Program::~Program() {
    // A copy in progress stops first; windows go before the database they use.
    dailyBackup_.reset();
    forms_.reset();
}

std::optional<int> Program::start() {
    try {
        if (auto exitCode = openDatabase())
            return exitCode;
        // The application's name, not its display name: Qt would append a display name to
        // every window title, and titles read exactly as the windows give them.
        QApplication::setApplicationName(ProductTitle());
        createWindows();
        return std::nullopt;
    } catch (const storage::DatabaseError& e) {
        // The file and what failed, in words; the engine's own text is for the log.
        qWarning("Start failed: %s", e.what());
        gui::MessageBoxes::error(nullptr, kDatabaseErrorTitle, storage::DescribeDatabaseError(e));
        return 1;
    } catch (const std::exception& e) {
        gui::MessageBoxes::error(nullptr, ProductTitle(), QString::fromUtf8(e.what()));
        return 1;
    }
}

std::optional<int> Program::openDatabase() {
    if (!connector_->AcquireExclusiveUse()) {
        gui::MessageBoxes::error(
            nullptr, kDatabaseErrorTitle,
            QStringLiteral("Файл базы данных используется другим приложением.\n"
                           "Закройте его и перезапутите данное приложение."));
        return 0;
    }
    const storage::OpenOutcome outcome = connector_->OpenDatabase();
    if (!outcome.opened) {
        gui::MessageBoxes::error(nullptr, kDatabaseErrorTitle, outcome.error);
        return 1;
    }
    for (const storage::Notice& notice : outcome.notices) {
        if (notice.kind == storage::Notice::Kind::Information)
            gui::MessageBoxes::information(nullptr, notice.title, notice.text);
        else
            gui::MessageBoxes::warning(nullptr, notice.title, notice.text);
    }
    return std::nullopt;
}

void Program::createWindows() {
    context_ = std::make_unique<gui::Context>(gui::Context{startFolder_, connector_->db()});
    forms_ = std::make_unique<Forms>(*context_);
    TMainForm& main = *forms_->MainForm;
    QObject::connect(&main, &TMainForm::firstShown, &main, [this] {
        RunStartUpLoading(*forms_, *context_);
        startDailyBackup();
    });
    // Maximised: the whole width of the screen, the height of the menu bar. Without a window
    // manager (a bare X server) nobody maximises, so the strip is placed here as well.
    const QRect screen = main.screen()->availableGeometry();
    main.setGeometry(screen.x(), screen.y(), screen.width(), main.height());
    main.showMaximized();
}

// The day's copy of the database is written in the background once the main window is ready,
// and again when the date changes while the program runs. A copy that cannot be written is
// told once a run; the work goes on.
void Program::startDailyBackup() {
    dailyBackup_ = std::make_unique<storage::DailyBackup>(connector_->db());
    TMainForm* main = forms_->MainForm.get();
    QObject::connect(dailyBackup_.get(), &storage::DailyBackup::failed, main,
                     [main](const QString& message) {
                         gui::MessageBoxes::warning(main, kBackupTitle, message);
                     });
    dailyBackup_->start();
}

}  // namespace app
