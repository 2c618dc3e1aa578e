#pragma once

#include <memory>

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
class Forms {
public:
    explicit Forms(gui::Context& context);
    ~Forms();
    Forms(const Forms&) = delete;
    Forms& operator=(const Forms&) = delete;

    std::unique_ptr<TMainForm> MainForm;
    std::unique_ptr<TSplashForm> SplashForm;
    std::unique_ptr<settings::TOptionOrganizationForm> OptionOrganizationForm;
    std::unique_ptr<settings::TOptionRegionForm> OptionRegionForm;
    std::unique_ptr<settings::TFMSMemberForm> FMSMemberForm;
    std::unique_ptr<settings::TSettingsForm> SettingsForm;
};

}  // namespace app
