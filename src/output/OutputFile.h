#pragma once

#include <QString>

class QWidget;

namespace gui {
struct Context;
}

namespace output {

// What differs between the outputs that write one file of the marked citizens (the export
// file, the spreadsheet list).
struct OutputFileSteps {
    QString nothingListed;  // the message when the search lists no citizen
    QString filter;         // the save dialog's filter
    QString suffix;         // ".xml", ".xls": proposed, and added to a name without one
};

// The steps before anything is read: no citizen listed stops with its message ("Ошибка
// экспорта"); the save dialog proposes the output name in the start folder (cancelled: the
// flow stops); no citizen marked stops with "Не отмечено ИГ для экспортирования". Returns the
// chosen name, with the suffix when it has no extension; empty when the flow stops.
QString ChooseOutputFile(QWidget* parent, gui::Context& context, int listedCount, bool anyMarked,
                         const OutputFileSteps& steps);

// Whether the final file, the chosen name with the count in it, may be written. The save
// dialog asked about the name chosen, not this one: a file already under it is asked about
// ("Заменить его?") and kept on "Нет".
bool MayReplaceOutputFile(QWidget* parent, const QString& file);

}  // namespace output
