#pragma once

#include <QApplication>
#include <QString>

namespace app {

// The product title, the two words joined by a no-break space.
QString ProductTitle();

// The application object. It loads Qt's Russian texts for standard buttons and dialogs, and
// it is the one place where an exception escaping a user action is caught: the user sees
// "Произошла внутренняя ошибка приложения", or for a database that could not be read what
// the database met, and the program goes on.
class Application : public QApplication {
    Q_OBJECT

public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

// Shows the message for an unexpected error; `detail` goes to the standard error stream only.
void ReportUnexpectedError(const QString& detail);

}  // namespace app
