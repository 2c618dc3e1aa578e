#include "app/Forms.h"

#include "app/TMainForm.h"
#include "app/TSplashForm.h"
#include "citizens/TPPEditForm.h"
#include "citizens/TRegistrationAddr.h"
#include "citizens/TTerritoryEditForm.h"
#include "output/TDocumentsFillStatusForm.h"
#include "output/TReportReestrPP.h"
#include "settings/TFMSMemberForm.h"
#include "settings/TOptionOrganizationForm.h"
#include "settings/TOptionRegionForm.h"
#include "settings/TSettingsForm.h"

namespace app {

Forms::Forms(gui::Context& context) {
    MainForm = std::make_unique<TMainForm>(*this, context);
    SplashForm = std::make_unique<TSplashForm>();
    // The dialogs take the application's reading direction, not the main window's.
    QWidget* main = MainForm.get();
    PPEditForm = new citizens::TPPEditForm(context, main);
    OptionOrganizationForm = new settings::TOptionOrganizationForm(context, main);
    TerritoryEditForm = new citizens::TTerritoryEditForm(context, main);
    OptionRegionForm = new settings::TOptionRegionForm(context, main);
    DocumentsFillStatusForm = new output::TDocumentsFillStatusForm(main);
    RegistrationAddr = new citizens::TRegistrationAddr(context, main);
    ReportReestrPP = new output::TReportReestrPP(context, main);
    FMSMemberForm = new settings::TFMSMemberForm(context, main);
    SettingsForm = new settings::TSettingsForm(context, main);
    connectWindows();
}

// The splash window goes first, then the main window with every dialog.
Forms::~Forms() = default;

// Each line answers what one window asks of a window of another folder.
void Forms::connectWindows() {
    // The citizen entry window keeps the region type: it takes each new one from
    // OptionRegionForm's regionTypeSaved here once it joins the program.
}

}  // namespace app
