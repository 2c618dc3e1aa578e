#include "gui/FileDialogs.h"

#include <QFileDialog>
#include <QQueue>

namespace gui {

namespace {

struct Script {
    bool active = false;
    QQueue<QString> names;
    QList<FileDialogs::Record> shown;
};

Script& script() {
    static Script instance;
    return instance;
}

QString Scripted(FileDialogs::Kind kind, const QString& caption, const QString& directory,
                 const QString& filter) {
    script().shown.append({kind, caption, directory, filter});
    return script().names.isEmpty() ? QString() : script().names.dequeue();
}

}  // namespace

QString FileDialogs::getOpenFileName(QWidget* parent, const QString& caption,
                                     const QString& directory, const QString& filter) {
    if (script().active)
        return Scripted(Kind::Open, caption, directory, filter);
    return QFileDialog::getOpenFileName(parent, caption, directory, filter);
}

QString FileDialogs::getSaveFileName(QWidget* parent, const QString& caption,
                                     const QString& directory, const QString& filter) {
    if (script().active)
        return Scripted(Kind::Save, caption, directory, filter);
    return QFileDialog::getSaveFileName(parent, caption, directory, filter);
}

QString FileDialogs::getExistingDirectory(QWidget* parent, const QString& caption,
                                          const QString& directory) {
    if (script().active)
        return Scripted(Kind::Folder, caption, directory, {});
    return QFileDialog::getExistingDirectory(parent, caption, directory);
}

void FileDialogs::setScripted(bool scripted) {
    script() = Script{};
    script().active = scripted;
}

void FileDialogs::setNextFileName(const QString& name) {
    script().names.enqueue(name);
}

QList<FileDialogs::Record> FileDialogs::takeShown() {
    return std::exchange(script().shown, {});
}

}  // namespace gui
