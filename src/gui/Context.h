#pragma once

#include <QString>

#include "dictionaries/ReferenceLists.h"

namespace storage {
class Database;
}

namespace gui {

// What the windows share for the whole run.
struct Context {
    // The folder the program was started in: the database, reference files, templates and
    // the help file are found here.
    QString startFolder;
    storage::Database& db;
    // The reference lists, loaded once when the main window is first shown.
    dictionaries::ReferenceLists lists = {};
};

}  // namespace gui
