#include "output/ApplicationFormsFlow.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <optional>

#include "gui/Context.h"
#include "gui/FileDialogs.h"
#include "gui/MessageBoxes.h"
#include "output/ApplicationForm.h"
#include "output/CitizenSelection.h"
#include "output/ExcelAccessCore.h"
#include "output/FileNames.h"
#include "output/OfficeMessages.h"
#include "output/OfficeOutputs.h"
#include "output/OfficeRun.h"
#include "output/TDocumentsFillStatusForm.h"
#include "output/WordAccessCore.h"

namespace output {

namespace {

const QString kDoneTitle = QStringLiteral("Операция завершена");

// Lets the progress window paint itself and take its stop button. The other windows take no
// input while it is shown (it is modal).
void KeepResponsive() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

// The progress window is hidden however the run ends.
class ProgressShown {
public:
    ProgressShown(TDocumentsFillStatusForm& progress, int count) : progress_(progress) {
        progress_.Begin(count);
        KeepResponsive();
    }
    ~ProgressShown() { progress_.Finish(); }
    ProgressShown(const ProgressShown&) = delete;
    ProgressShown& operator=(const ProgressShown&) = delete;

private:
    TDocumentsFillStatusForm& progress_;
};

// How a run ended.
struct RunOutcome {
    int filled = 0;
    bool stopped = false;
    OfficeError error;
};

// One run: both templates open for all citizens, each citizen's workbook and document saved
// into `folder`.
class FormsRun {
public:
    FormsRun(gui::Context& context, TDocumentsFillStatusForm& progress, OfficeRun& run,
             const QString& folder)
        : context_(context)
        , progress_(progress)
        , run_(run)
        , folder_(folder)
        , visaFree_(run)
        , visa_(run) {
        run_.setWhileStarting(KeepResponsive);
    }
    ~FormsRun() { run_.setWhileStarting({}); }
    FormsRun(const FormsRun&) = delete;
    FormsRun& operator=(const FormsRun&) = delete;

    RunOutcome fill(const QList<citizens::IGFormData>& citizens) {
        RunOutcome outcome;
        if (!openTemplates(outcome))
            return outcome;
        const FormsRunSettings settings = LoadFormsRunSettings(context_.db, context_.lists);
        const int count = static_cast<int>(citizens.size());
        for (int i = 0; i < count; ++i) {
            KeepResponsive();
            if (progress_.StopRequested()) {
                outcome.stopped = true;
                break;
            }
            const citizens::IGFormData& citizen = citizens[i];
            const CitizenForms forms =
                LoadCitizenForms(context_.db, context_.lists, settings, citizen);
            progress_.ShowCitizen(i, count);
            KeepResponsive();
            if (!fillCitizen(citizen, forms, settings, outcome))
                break;
            ++outcome.filled;
        }
        visaFree_.close();
        visa_.close();
        return outcome;
    }

private:
    QString templatePath(const char* name) const {
        return QDir(context_.startFolder).filePath(QString::fromLatin1(name));
    }

    bool openTemplates(RunOutcome& outcome) {
        if (!visaFree_.open(templatePath(kVisaFreeTemplate), kApplicationDataSheet)) {
            outcome.error = visaFree_.error();
            return false;
        }
        KeepResponsive();
        if (!visa_.open(templatePath(kVisaTemplate), kApplicationDataSheet)) {
            outcome.error = visa_.error();
            return false;
        }
        return true;
    }

    bool fillCitizen(const citizens::IGFormData& citizen, const CitizenForms& forms,
                     const FormsRunSettings& settings, RunOutcome& outcome) {
        ExcelAccessCore& workbook = citizen.visaRegime == 1 ? visa_ : visaFree_;
        if (!FillApplicationWorkbook(workbook, forms.formSlots, settings.fmsOffice,
                                     QDir(folder_).filePath(forms.workbookName))) {
            outcome.error = workbook.error();
            return false;
        }
        KeepResponsive();
        WordAccessCore document(run_);
        if (!document.open(templatePath(kReverseSideTemplate)) ||
            !FillReverseSideDocument(document, forms.reverseSide) ||
            !document.saveAs(QDir(folder_).filePath(forms.documentName))) {
            outcome.error = document.error();
            return false;
        }
        document.close();
        return true;
    }

    gui::Context& context_;
    TDocumentsFillStatusForm& progress_;
    OfficeRun& run_;
    QString folder_;
    ExcelAccessCore visaFree_;
    ExcelAccessCore visa_;
};

// The subfolder for the files of this run, made in the chosen folder; its name, or an empty
// text when it cannot be made (the user has been told).
QString MakeOutputFolder(QWidget* parent, gui::Context& context, const QString& chosen) {
    const QString name = SafeFileName(DefaultOutputName(context.db, QDateTime::currentDateTime()));
    const QDir folder(chosen);
    if (!folder.mkpath(name)) {
        gui::MessageBoxes::error(
            parent, QStringLiteral("Ошибка работы с файлом"),
            QStringLiteral("Не удалось создать папку '%1'. Заявления не заполнены.")
                .arg(QDir::toNativeSeparators(folder.filePath(name))));
        return {};
    }
    return name;
}

void ReportOutcome(QWidget* parent, const RunOutcome& outcome, int count,
                   const QString& subfolder) {
    const QString where = QStringLiteral("Заполненные файлы в папке ") + subfolder;
    if (outcome.error.isError()) {
        ShowOfficeError(parent, outcome.error);
        if (outcome.filled > 0) {
            gui::MessageBoxes::information(parent, QStringLiteral("Операция прервана"),
                                           QStringLiteral("Заявления заполнены для %1 ИГ из %2. ")
                                                   .arg(outcome.filled)
                                                   .arg(count) +
                                               where);
        }
        return;
    }
    if (outcome.stopped) {
        gui::MessageBoxes::information(
            parent, QStringLiteral("Операция остановлена"),
            QStringLiteral(
                "Заполнение заявлений остановлено: заявления заполнены для %1 ИГ из %2. ")
                    .arg(outcome.filled)
                    .arg(count) +
                where);
        return;
    }
    gui::MessageBoxes::information(
        parent, kDoneTitle,
        QStringLiteral("Заполнение заявлений завершено. Заполненные файлы в папке ") + subfolder);
}

}  // namespace

void FillApplicationForms(QWidget* parent, gui::Context& context,
                          TDocumentsFillStatusForm& progress, int listedCount,
                          const QList<int>& markedKeys, OfficeRun* office) {
    if (listedCount == 0) {
        gui::MessageBoxes::error(parent, QStringLiteral("Ошибка экспорта"),
                                 QStringLiteral("Не найдено ИГ для заполнения заявлений."));
        return;
    }
    const QString chosen = gui::FileDialogs::getExistingDirectory(
        parent, QStringLiteral("Выберите папку для хранения заявлений"), context.startFolder);
    if (chosen.isEmpty())
        return;
    if (markedKeys.isEmpty()) {
        gui::MessageBoxes::warning(parent, QStringLiteral("Экспорт"),
                                   QStringLiteral("Не отмечено ИГ для заполнения заявлений"));
        return;
    }
    // The forms show no photo: the photos are not read.
    const QList<citizens::IGFormData> citizens = LoadCitizensByKeys(context.db, markedKeys, false);
    const QString subfolder = MakeOutputFolder(parent, context, chosen);
    if (subfolder.isEmpty())
        return;
    RunOutcome outcome;
    {
        const ProgressShown shown(progress, static_cast<int>(citizens.size()));
        std::optional<OfficeRun> own;
        FormsRun run(context, progress, office ? *office : own.emplace(),
                     QDir(chosen).filePath(subfolder));
        outcome = run.fill(citizens);
    }
    ReportOutcome(parent, outcome, static_cast<int>(citizens.size()), subfolder);
}

}  // namespace output
