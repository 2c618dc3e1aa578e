#pragma once

#include <QList>
#include <QString>
#include <functional>

class QWidget;

namespace gui {

// Every file and folder dialog of the program goes through here. In tests the dialogs are
// scripted: nothing is shown, each takes the next queued name (the empty text stands for a
// cancelled dialog) and is recorded. A dialog for which no name was queued is reported to
// the handler the test set, and taken as cancelled.
class FileDialogs {
public:
    enum class Kind { Open, Save, Folder };

    struct Record {
        Kind kind;
        QString caption;
        QString directory;
        QString filter;
    };

    // Empty text when the user cancels.
    static QString getOpenFileName(QWidget* parent, const QString& caption,
                                   const QString& directory = {}, const QString& filter = {});
    static QString getSaveFileName(QWidget* parent, const QString& caption,
                                   const QString& directory = {}, const QString& filter = {});
    static QString getExistingDirectory(QWidget* parent, const QString& caption,
                                        const QString& directory = {});

    // Scripting for tests.
    static void setScripted(bool scripted);
    static void setNextFileName(const QString& name);
    static QList<Record> takeShown();
    // Names queued and not used yet.
    static int pendingNames();
    // Called with a description of every dialog shown while no name was queued.
    static void setUnexpectedHandler(std::function<void(const QString&)> handler);
};

}  // namespace gui
