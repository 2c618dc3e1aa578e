#include "app/Forms.h"

#include "app/TMainForm.h"
#include "app/TSplashForm.h"
#include "settings/TFMSMemberForm.h"
#include "settings/TOptionOrganizationForm.h"
#include "settings/TOptionRegionForm.h"
#include "settings/TSettingsForm.h"

namespace app {

Forms::Forms(gui::Context& context) {
    MainForm = std::make_unique<TMainForm>(*this, context);
    SplashForm = std::make_unique<TSplashForm>();
    // The dialogs stay above the main window; they take the application's reading direction,
    // not the main window's.
    QWidget* main = MainForm.get();
    OptionOrganizationForm = std::make_unique<settings::TOptionOrganizationForm>(context, main);
    OptionRegionForm = std::make_unique<settings::TOptionRegionForm>(context, main);
    // The citizen entry window keeps the region type: it takes each new one from
    // OptionRegionForm's regionTypeSaved once it joins the program.
    FMSMemberForm = std::make_unique<settings::TFMSMemberForm>(context, main);
    SettingsForm = std::make_unique<settings::TSettingsForm>(context, main);
}

// Windows go in the reverse order of their creation.
Forms::~Forms() = default;

}  // namespace app
