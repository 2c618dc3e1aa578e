#include "app/TMainForm.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>

#include "app/Application.h"
#include "app/Forms.h"
#include "citizens/TIGEditForm.h"
#include "gui/Context.h"
#include "gui/HelpTopics.h"
#include "gui/MessageBoxes.h"
#include "output/TReportReestrPP.h"
#include "output/TSearchForm.h"
#include "permits/TIGPkgSearchForm.h"
#include "permits/TPackageEditForm.h"
#include "permits/TRNPIRSEditForm.h"
#include "permits/TRNPSearchForm.h"
#include "settings/OrganisationStore.h"
#include "settings/TFMSMemberForm.h"
#include "settings/TOptionOrganizationForm.h"
#include "settings/TOptionRegionForm.h"
#include "settings/TSettingsForm.h"

namespace app {

namespace {

QAction* AddItem(QMenu* menu, const char* name, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
}

QMenu* AddMenu(QMenuBar* bar, const char* name, const QString& caption) {
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(QLatin1String(name));
    menu->menuAction()->setObjectName(QLatin1String(name));
    return menu;
}

// A modeless window brought up; one already shown comes to the front.
void ShowModeless(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace

TMainForm::TMainForm(Forms& forms, gui::Context& context) : forms_(forms), context_(context) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(ProductTitle());
    // The caption and the menu bar read from the right; windows opened from here do not
    // inherit the direction.
    setLayoutDirection(Qt::RightToLeft);
    createMenu();
    connectCommands();
    // Nothing but the menu bar: the window is a strip across the top of the screen that
    // leaves the desktop below free for the dialogs.
    setFixedHeight(MainMenu1->sizeHint().height());
}

void TMainForm::createMenu() {
    MainMenu1 = menuBar();
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));

    N6 = AddMenu(MainMenu1, "N6", QStringLiteral("Добавить"));
    fdgdfg1 = AddItem(N6, "fdgdfg1", QStringLiteral("Добавить ИГ (безвизовые)"));
    N10 = AddItem(N6, "N10", QStringLiteral("Добавить ИГ (визовые)"));
    N13 = AddItem(N6, "N13", QStringLiteral("Добавить пакет ИГ"));
    N7 = AddItem(N6, "N7", QStringLiteral("Добавить РНП ИРС"));

    N1 = AddMenu(MainMenu1, "N1", QStringLiteral("Поиск"));
    N8 = AddItem(N1, "N8", QStringLiteral("Поиск по ИГ"));
    N9 = AddItem(N1, "N9", QStringLiteral("Поиск по РНП ИРС"));
    N14 = AddItem(N1, "N14", QStringLiteral("Поиск по пакету ИГ"));

    N4 = AddMenu(MainMenu1, "N4", QStringLiteral("Администрирование"));
    N5 = AddItem(N4, "N5", QStringLiteral("Данные об организации и доверенном лице"));
    N2 = AddItem(N4, "N2", QStringLiteral("Регион"));
    N16 = AddItem(N4, "N16", QStringLiteral("Орган ФМС"));
    N17 = AddItem(N4, "N17", QStringLiteral("Настройки"));

    N11 = AddMenu(MainMenu1, "N11", QStringLiteral("Отчеты"));
    N15 = AddItem(N11, "N15", QStringLiteral("Реестр ПД"));

    N12 = MainMenu1->addAction(QStringLiteral("Справка"));
    N12->setObjectName(QStringLiteral("N12"));
    N3 = MainMenu1->addAction(QStringLiteral("Выход"));
    N3->setObjectName(QStringLiteral("N3"));

    // Packages and the payment register are not offered in this configuration.
    N13->setVisible(false);
    N14->setVisible(false);
    N11->menuAction()->setVisible(false);
    N15->setVisible(false);
}

void TMainForm::connectCommands() {
    connect(fdgdfg1, &QAction::triggered, this, [this] { forms_.IGEditForm->OpenNewCitizen(0); });
    connect(N10, &QAction::triggered, this, &TMainForm::newVisaCitizen);
    connect(N7, &QAction::triggered, this, [this] { forms_.RNPIRSEditForm->OpenNewPermit(); });
    connect(N9, &QAction::triggered, this, [this] {
        forms_.RNPSearchForm->EmptyResults();
        ShowModeless(forms_.RNPSearchForm);
    });
    connect(N13, &QAction::triggered, this, [this] { forms_.PackageEditForm->OpenNewPackage(); });
    connect(N14, &QAction::triggered, this, [this] {
        if (!forms_.IGPkgSearchForm->isVisible())
            ShowModeless(forms_.IGPkgSearchForm);
    });
    connect(N8, &QAction::triggered, this, &TMainForm::citizenSearch);
    connect(N5, &QAction::triggered, this, [this] { ShowModeless(forms_.OptionOrganizationForm); });
    connect(N2, &QAction::triggered, this, [this] { ShowModeless(forms_.OptionRegionForm); });
    connect(N16, &QAction::triggered, this, [this] { ShowModeless(forms_.FMSMemberForm); });
    connect(N17, &QAction::triggered, this, [this] { ShowModeless(forms_.SettingsForm); });
    // Hidden in the menu; the command works all the same.
    connect(N15, &QAction::triggered, this, [this] { forms_.ReportReestrPP->exec(); });
    connect(N12, &QAction::triggered, this,
            [this] { gui::ShowHelpTopic(context_.startFolder, gui::topic::kAbout); });
    connect(N3, &QAction::triggered, this, &QWidget::close);
}

// Citizens of visa countries cannot be entered for a trusted person.
void TMainForm::newVisaCitizen() {
    if (settings::LoadOrganisation(context_.db).type == settings::kTrustedPerson) {
        gui::MessageBoxes::error(
            this, QStringLiteral("Ошибка!!!"),
            QStringLiteral("В настойках установлена работа с доверенными лицом.\n"
                           "\tОформление визовых невозможно."));
        return;
    }
    forms_.IGEditForm->OpenNewCitizen(1);
}

// An open search keeps its filter, results and marks.
void TMainForm::citizenSearch() {
    if (forms_.SearchForm->isVisible())
        return;
    forms_.SearchForm->Reset();
    ShowModeless(forms_.SearchForm);
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shownBefore_)
        return;
    shownBefore_ = true;
    // Queued, so that the work of the first showing runs inside the message loop, where it
    // can end the program.
    QMetaObject::invokeMethod(this, &TMainForm::firstShown, Qt::QueuedConnection);
}

void TMainForm::closeEvent(QCloseEvent* event) {
    QMainWindow::closeEvent(event);
    QCoreApplication::quit();
}

}  // namespace app
