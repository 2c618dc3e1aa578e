#pragma once

#include <QList>
#include <QString>

class QWidget;

namespace gui {

// Every file and folder dialog of the program goes through here. In tests the dialogs are
// scripted: nothing is shown, each takes the next queued name (or the empty text, as if
// cancelled) and is recorded.
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
};

}  // namespace gui
