#include "gui/FileDialogs.h"

#include <QFileDialog>
#include <QQueue>

namespace gui {

namespace {

struct Script {
    bool active = false;
    QQueue<QString> names;
    QList<FileDialogs::Record> shown;
    std::function<void(const QString&)> unexpected;
};

Script& script() {
    static Script instance;
    return instance;
}

QString Scripted(FileDialogs::Kind kind, const QString& caption, const QString& directory,
                 const QString& filter) {
    script().shown.append({kind, caption, directory, filter});
    if (!script().names.isEmpty())
        return script().names.dequeue();
    if (script().unexpected)
        script().unexpected(QStringLiteral("«%1»").arg(caption));
    return {};
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

int FileDialogs::pendingNames() {
    return static_cast<int>(script().names.size());
}

void FileDialogs::setUnexpectedHandler(std::function<void(const QString&)> handler) {
    script().unexpected = std::move(handler);
}

QList<FileDialogs::Record> FileDialogs::takeShown() {
    return std::exchange(script().shown, {});
}

}  // namespace gui
