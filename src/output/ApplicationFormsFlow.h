#pragma once

#include <QList>

class QWidget;

namespace gui {
struct Context;
}

namespace output {

class OfficeRun;
class TDocumentsFillStatusForm;

// "Заполнить заявления" of the citizen search: for each marked citizen (`markedKeys`, in grid
// order; `listedCount` citizens are listed) the application form of the citizen's regime and
// the reverse side, saved in a new subfolder, named like the proposed output name, of a folder
// the user chooses. `progress` shows how far the run has got and lets the user stop it after
// the current citizen. A file that cannot be written stops the run with a message naming it;
// the files of the citizens filled before stay. The forms are filled through `office`, or an
// office started for the run and stopped afterwards.
void FillApplicationForms(QWidget* parent, gui::Context& context,
                          TDocumentsFillStatusForm& progress, int listedCount,
                          const QList<int>& markedKeys, OfficeRun* office = nullptr);

}  // namespace output
