#pragma once

#include <QString>
#include <memory>
#include <optional>

namespace storage {
class DailyBackup;
class DatabaseConnector;
}  // namespace storage

namespace gui {
struct Context;
}

namespace app {

class Forms;

// The running program: the database of the start folder and the windows. Needs the
// application object.
class Program {
public:
    explicit Program(const QString& startFolder);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Everything before the message loop: the exclusive-use test, the database, the windows,
    // the main window shown. Returns the exit code when the program must end instead.
    std::optional<int> start();

    storage::DatabaseConnector& connector() { return *connector_; }
    Forms& forms() { return *forms_; }
    gui::Context& context() { return *context_; }
    // The daily copy of the database; none until the main window is ready.
    storage::DailyBackup* dailyBackup() { return dailyBackup_.get(); }

private:
    std::optional<int> openDatabase();
    void createWindows();
    void startDailyBackup();

    QString startFolder_;
    std::unique_ptr<storage::DatabaseConnector> connector_;
    std::unique_ptr<gui::Context> context_;
    std::unique_ptr<Forms> forms_;
    std::unique_ptr<storage::DailyBackup> dailyBackup_;
};

}  // namespace app
