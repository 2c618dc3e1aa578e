#pragma once

#include <QList>

class QWidget;

namespace gui {
struct Context;
}

namespace output {

class OfficeRun;

// "Экспорт в Excel" of the citizen search: the marked citizens (`markedKeys`, in grid order;
// `listedCount` citizens are listed) written into a spreadsheet list whose name the user
// chooses, the number of citizens put into the name ("list.xls" with 2 gives "list - 2.xls").
// The list is written through `office`, or an office started for it and stopped afterwards.
void ExportCitizenList(QWidget* parent, gui::Context& context, int listedCount,
                       const QList<int>& markedKeys, OfficeRun* office = nullptr);

}  // namespace output
