#include "app/Forms.h"

#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <initializer_list>

#include "app/TMainForm.h"
#include "app/TSplashForm.h"
#include "citizens/TIGEditForm.h"
#include "citizens/TPPEditForm.h"
#include "citizens/TRegistrationAddr.h"
#include "citizens/TTerritoryEditForm.h"
#include "gui/TerritoryOwner.h"
#include "output/TDocumentsFillStatusForm.h"
#include "output/TReportReestrPP.h"
#include "output/TSearchForm.h"
#include "permits/TIGPkgSearchForm.h"
#include "permits/TPackageEditForm.h"
#include "permits/TRNPIRSEditForm.h"
#include "permits/TRNPSearchForm.h"
#include "settings/TFMSMemberForm.h"
#include "settings/TOptionOrganizationForm.h"
#include "settings/TOptionRegionForm.h"
#include "settings/TSettingsForm.h"

namespace app {

namespace {

// Places a window of the main window, the first time it shows, in the middle of the screen
// below the main window's strip: Qt would centre it on its parent, the strip at the top of
// the screen, over the menu. Later showings keep where the user left it.
class FirstShowPlacement : public QObject {
public:
    FirstShowPlacement(QWidget* window, const QWidget* main) : QObject(window), main_(main) {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            auto* window = static_cast<QWidget*>(watched);
            QRect area = window->screen()->availableGeometry();
            area.setTop(std::min(area.bottom(), main_->frameGeometry().bottom() + 1));
            QRect frame = window->frameGeometry();
            frame.moveCenter(area.center());
            frame.moveTop(std::max(area.top(), frame.top()));
            frame.moveLeft(std::max(area.left(), frame.left()));
            window->move(frame.topLeft());
            window->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }

private:
    const QWidget* main_;
};

}  // namespace

Forms::Forms(gui::Context& context) {
    MainForm = std::make_unique<TMainForm>(*this, context);
    // The dialogs take the application's reading direction, not the main window's.
    QWidget* main = MainForm.get();
    IGEditForm = new citizens::TIGEditForm(context, main);
    SplashForm = std::make_unique<TSplashForm>();
    PPEditForm = new citizens::TPPEditForm(context, main);
    SearchForm = new output::TSearchForm(context, main);
    OptionOrganizationForm = new settings::TOptionOrganizationForm(context, main);
    RNPSearchForm = new permits::TRNPSearchForm(context, main);
    TerritoryEditForm = new citizens::TTerritoryEditForm(context, main);
    OptionRegionForm = new settings::TOptionRegionForm(context, main);
    DocumentsFillStatusForm = new output::TDocumentsFillStatusForm(main);
    PackageEditForm = new permits::TPackageEditForm(context, main);
    IGPkgSearchForm = new permits::TIGPkgSearchForm(context, main);
    RegistrationAddr = new citizens::TRegistrationAddr(context, main);
    ReportReestrPP = new output::TReportReestrPP(context, main);
    FMSMemberForm = new settings::TFMSMemberForm(context, main);
    RNPIRSEditForm = new permits::TRNPIRSEditForm(context, main);
    SettingsForm = new settings::TSettingsForm(context, main);
    placeWindows();
    connectWindows();
}

// The splash window goes first, then the main window with every dialog.
Forms::~Forms() = default;

// The windows the main window opens; the modal dialogs of the other windows are centred on
// the window that opens them.
void Forms::placeWindows() {
    for (QWidget* window : std::initializer_list<QWidget*>{
             IGEditForm, SearchForm, OptionOrganizationForm, RNPSearchForm, OptionRegionForm,
             PackageEditForm, IGPkgSearchForm, ReportReestrPP, FMSMemberForm, RNPIRSEditForm,
             SettingsForm})
        new FirstShowPlacement(window, MainForm.get());
}

// Each line answers what one window asks of a window of another folder.
void Forms::connectWindows() {
    IGEditForm->UseDialogs(PPEditForm, RegistrationAddr, TerritoryEditForm);
    // The citizen entry window keeps the region type.
    QObject::connect(OptionRegionForm, &settings::TOptionRegionForm::regionTypeSaved, IGEditForm,
                     &citizens::TIGEditForm::SetRegionType);
    RNPSearchForm->UsePermitEditor(RNPIRSEditForm);
    IGPkgSearchForm->UsePackageEditor(PackageEditForm);
    // The permit and package entries choose their territories in the citizens' dialog.
    const gui::TerritoryEditor territories = [t = TerritoryEditForm](gui::TerritoryOwner& owner) {
        return t->EditTerritories(owner);
    };
    RNPIRSEditForm->SetTerritoryEditor(territories);
    PackageEditForm->SetTerritoryEditor(territories);
    // A new visa-free citizen in the package of a search result.
    QObject::connect(IGPkgSearchForm, &permits::TIGPkgSearchForm::newCitizenInPackageRequested,
                     IGEditForm, &citizens::TIGEditForm::OpenNewCitizenInPackage);
    SearchForm->UseProgressWindow(DocumentsFillStatusForm);
    // The citizen search opens a citizen for editing, and lists again after its save.
    QObject::connect(SearchForm, &output::TSearchForm::editCitizenRequested, IGEditForm,
                     &citizens::TIGEditForm::OpenCitizenForEditing);
    QObject::connect(IGEditForm, &citizens::TIGEditForm::citizenEdited, SearchForm,
                     &output::TSearchForm::RunSearch);
}

}  // namespace app
