#pragma once

#include <QString>

namespace storage {
class Database;
}

namespace app {

// What the windows share for the whole run.
struct Context {
    // The folder the program was started in: the database, reference files, templates and
    // the help file are found here.
    QString startFolder;
    storage::Database& db;
};

}  // namespace app
