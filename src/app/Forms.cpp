#include "app/Forms.h"

#include "app/TMainForm.h"

namespace app {

Forms::Forms(Context& context) {
    MainForm = std::make_unique<TMainForm>(*this, context);
}

// Windows go in the reverse order of their creation.
Forms::~Forms() = default;

}  // namespace app
