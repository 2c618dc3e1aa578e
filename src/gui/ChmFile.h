#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

struct chmFile;

namespace gui {

// A compiled HTML help file (.chm), read through chmlib. Paths of the objects inside it begin
// with "/" ("/fc_search.htm", "/images/photo.png") and compare without regard to letter case.
class ChmFile {
public:
    // Null when the file is missing or is not a readable help file.
    static std::unique_ptr<ChmFile> Open(const QString& path);
    ~ChmFile();
    ChmFile(const ChmFile&) = delete;
    ChmFile& operator=(const ChmFile&) = delete;

    // The bytes of the object at `path`; nothing when the file holds no such object or it
    // cannot be read whole.
    std::optional<QByteArray> read(const QString& path) const;
    bool contains(const QString& path) const;
    // The paths of every file inside, in the order the file lists them.
    QStringList files() const;

    // What the help project named; each may be empty. The contents path falls back to the
    // first contents file (.hhc) inside when the project named none.
    const QString& title() const { return title_; }
    const QString& contentsPath() const { return contentsPath_; }
    const QString& indexPath() const { return indexPath_; }
    const QString& defaultTopicPath() const { return defaultTopicPath_; }

private:
    struct Closer {
        void operator()(chmFile* handle) const;
    };

    explicit ChmFile(chmFile* handle);
    void readSystemObject();
    QString firstFileEndingWith(const QString& suffix) const;

    std::unique_ptr<chmFile, Closer> handle_;
    QString title_;
    QString contentsPath_;
    QString indexPath_;
    QString defaultTopicPath_;
};

}  // namespace gui
