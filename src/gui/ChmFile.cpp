#include "gui/ChmFile.h"

#include <chm_lib.h>

#include <QFile>

#include "gui/HelpContent.h"

namespace gui {

namespace {

// No page, picture or contents file of a manual comes near this; a damaged file that claims
// more is not believed.
constexpr LONGUINT64 kLargestObject = 64 * 1024 * 1024;

// Record codes of the "/#SYSTEM" object.
enum SystemRecord : quint16 {
    kContentsFile = 0,
    kIndexFile = 1,
    kDefaultTopic = 2,
    kTitle = 3,
};

// A record's data is a string ended by a zero byte.
QString RecordText(const QByteArray& data) {
    const qsizetype end = data.indexOf('\0');
    return DecodeHelpName(end >= 0 ? data.left(end) : data).trimmed();
}

QString RootPath(const QString& name) {
    if (name.isEmpty() || name.startsWith(QLatin1Char('/')))
        return name;
    return QLatin1Char('/') + name;
}

// The 16-bit word at `pos`, which lies inside the bytes.
quint16 LittleEndianWord(const QByteArray& bytes, qsizetype pos) {
    return quint16(quint8(bytes.at(pos)) | quint8(bytes.at(pos + 1)) << 8);
}

int CollectPath(chmFile*, chmUnitInfo* unit, void* context) {
    static_cast<QStringList*>(context)->append(QString::fromUtf8(unit->path));
    return CHM_ENUMERATOR_CONTINUE;
}

}  // namespace

void ChmFile::Closer::operator()(chmFile* handle) const {
    chm_close(handle);
}

std::unique_ptr<ChmFile> ChmFile::Open(const QString& path) {
    chmFile* handle = chm_open(QFile::encodeName(path).constData());
    if (!handle)
        return nullptr;
    std::unique_ptr<ChmFile> file(new ChmFile(handle));
    file->readSystemObject();
    return file;
}

ChmFile::ChmFile(chmFile* handle) : handle_(handle) {}

ChmFile::~ChmFile() = default;

std::optional<QByteArray> ChmFile::read(const QString& path) const {
    chmUnitInfo unit{};
    if (chm_resolve_object(handle_.get(), path.toUtf8().constData(), &unit) != CHM_RESOLVE_SUCCESS)
        return std::nullopt;
    if (unit.length > kLargestObject)
        return std::nullopt;
    QByteArray bytes(static_cast<qsizetype>(unit.length), Qt::Uninitialized);
    auto* buffer = reinterpret_cast<unsigned char*>(bytes.data());
    LONGUINT64 done = 0;
    while (done < unit.length) {
        const LONGINT64 got = chm_retrieve_object(handle_.get(), &unit, buffer + done, done,
                                                  static_cast<LONGINT64>(unit.length - done));
        if (got <= 0)
            return std::nullopt;
        done += static_cast<LONGUINT64>(got);
    }
    return bytes;
}

bool ChmFile::contains(const QString& path) const {
    chmUnitInfo unit{};
    return chm_resolve_object(handle_.get(), path.toUtf8().constData(), &unit) ==
           CHM_RESOLVE_SUCCESS;
}

QStringList ChmFile::files() const {
    QStringList paths;
    chm_enumerate(handle_.get(), CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_FILES, &CollectPath, &paths);
    return paths;
}

// "/#SYSTEM": a version word, then records of a code, a length and the data.
void ChmFile::readSystemObject() {
    const QByteArray system = read(QStringLiteral("/#SYSTEM")).value_or(QByteArray());
    qsizetype pos = 4;
    while (pos + 4 <= system.size()) {
        const quint16 code = LittleEndianWord(system, pos);
        const quint16 length = LittleEndianWord(system, pos + 2);
        const QByteArray data = system.mid(pos + 4, length);
        pos += 4 + length;
        switch (code) {
            case kContentsFile:
                contentsPath_ = RootPath(RecordText(data));
                break;
            case kIndexFile:
                indexPath_ = RootPath(RecordText(data));
                break;
            case kDefaultTopic:
                defaultTopicPath_ = RootPath(RecordText(data));
                break;
            case kTitle:
                title_ = RecordText(data);
                break;
            default:
                break;
        }
    }
    if (contentsPath_.isEmpty())
        contentsPath_ = firstFileEndingWith(QStringLiteral(".hhc"));
    if (indexPath_.isEmpty())
        indexPath_ = firstFileEndingWith(QStringLiteral(".hhk"));
}

QString ChmFile::firstFileEndingWith(const QString& suffix) const {
    for (const QString& path : files()) {
        if (path.endsWith(suffix, Qt::CaseInsensitive))
            return path;
    }
    return {};
}

}  // namespace gui
