#pragma once

#include <memory>

namespace citizens {
class TIGEditForm;
class TPPEditForm;
class TRegistrationAddr;
class TTerritoryEditForm;
}  // namespace citizens

namespace output {
class TDocumentsFillStatusForm;
class TReportReestrPP;
class TSearchForm;
}  // namespace output

namespace permits {
class TRNPIRSEditForm;
class TRNPSearchForm;
class TIGPkgSearchForm;
class TPackageEditForm;
}  // namespace permits

namespace settings {
class TFMSMemberForm;
class TOptionOrganizationForm;
class TOptionRegionForm;
class TSettingsForm;
}  // namespace settings

namespace gui {
struct Context;
}

namespace app {

class TMainForm;
class TSplashForm;

// Every window of the program, created once at start-up in the order below and destroyed at
// exit; closing a window only hides it. A window that joins the program gets its member
// here, in its place in the creation order.
//
// The main window owns the dialogs as their Qt parent (they stay above it); Forms owns the
// main window and the splash window, which has no parent. Windows of different folders
// never know each other: what one asks of another is connected here.
class Forms {
public:
    explicit Forms(gui::Context& context);
    ~Forms();
    Forms(const Forms&) = delete;
    Forms& operator=(const Forms&) = delete;

    std::unique_ptr<TMainForm> MainForm;
    citizens::TIGEditForm* IGEditForm = nullptr;
    std::unique_ptr<TSplashForm> SplashForm;
    citizens::TPPEditForm* PPEditForm = nullptr;
    output::TSearchForm* SearchForm = nullptr;
    settings::TOptionOrganizationForm* OptionOrganizationForm = nullptr;
    permits::TRNPSearchForm* RNPSearchForm = nullptr;
    citizens::TTerritoryEditForm* TerritoryEditForm = nullptr;
    settings::TOptionRegionForm* OptionRegionForm = nullptr;
    output::TDocumentsFillStatusForm* DocumentsFillStatusForm = nullptr;
    permits::TPackageEditForm* PackageEditForm = nullptr;
    permits::TIGPkgSearchForm* IGPkgSearchForm = nullptr;
    citizens::TRegistrationAddr* RegistrationAddr = nullptr;
    output::TReportReestrPP* ReportReestrPP = nullptr;
    settings::TFMSMemberForm* FMSMemberForm = nullptr;
    permits::TRNPIRSEditForm* RNPIRSEditForm = nullptr;
    settings::TSettingsForm* SettingsForm = nullptr;

private:
    void placeWindows();
    void connectWindows();
};

}  // namespace app
