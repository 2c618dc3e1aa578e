#include "app/Forms.h"

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
    connectWindows();
}

// The splash window goes first, then the main window with every dialog.
Forms::~Forms() = default;

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
