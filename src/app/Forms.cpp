#include "app/Forms.h"

#include "app/TMainForm.h"
#include "app/TSplashForm.h"

namespace app {

Forms::Forms(Context& context) {
    MainForm = std::make_unique<TMainForm>(*this, context);
    SplashForm = std::make_unique<TSplashForm>();
}

// Windows go in the reverse order of their creation.
Forms::~Forms() = default;

}  // namespace app
