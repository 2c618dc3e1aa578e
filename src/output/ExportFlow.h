#pragma once

#include <QList>

class QWidget;

namespace gui {
struct Context;
}

namespace output {

// The export file of the citizens marked in the search ("Экспорт"): the user chooses the file
// (the organisation's name and the moment are proposed), the marked citizens are loaded and
// written into it under the chosen name with their number inserted ("list.xml" with 3
// citizens becomes "list - 3.xml"). Nothing listed, nothing marked, a cancelled dialog and a
// failed write each end it with nothing written; only a complete file is reported as done.
void ExportCitizenFile(QWidget* parent, gui::Context& context, int listedCount,
                       const QList<int>& markedKeys);

}  // namespace output
