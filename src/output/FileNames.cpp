#include "output/FileNames.h"

#include <QFileInfo>

namespace output {

namespace {

bool Refused(char32_t ch) {
    switch (ch) {
        case U'/':
        case U'\\':
        case U':':
        case U'*':
        case U'?':
        case U'"':
        case U'<':
        case U'>':
        case U'|':
            return true;
        default:
            return ch < 0x20 || ch == 0x7F;
    }
}

// The name with every refused character, and any half of a surrogate pair, replaced.
QString ReplaceRefused(const QString& name) {
    QString safe;
    safe.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar ch = name.at(i);
        if (ch.isHighSurrogate() && i + 1 < name.size() && name.at(i + 1).isLowSurrogate()) {
            safe.append(ch).append(name.at(++i));
            continue;
        }
        if (ch.isSurrogate() || Refused(ch.unicode()))
            safe.append(QLatin1Char('_'));
        else
            safe.append(ch);
    }
    return safe;
}

// The longest start of `text` whose UTF-8 form has at most `bytes` bytes, whole characters only.
QString CutToBytes(const QString& text, qsizetype bytes) {
    qsizetype used = 0;
    qsizetype end = 0;
    while (end < text.size()) {
        const bool pair = text.at(end).isHighSurrogate();
        const qsizetype length = pair ? 2 : 1;
        const char16_t unit = text.at(end).unicode();
        const qsizetype size = pair ? 4 : unit < 0x80 ? 1 : unit < 0x800 ? 2 : 3;
        if (used + size > bytes)
            break;
        used += size;
        end += length;
    }
    return text.left(end);
}

}  // namespace

QString SafeFileName(const QString& name, const QString& suffix) {
    QString safe = ReplaceRefused(name);
    for (qsizetype i = 0; i < safe.size() && safe.at(i) == QLatin1Char('.'); ++i)
        safe[i] = QLatin1Char('_');
    if (safe.isEmpty())
        safe = QStringLiteral("_");
    const QString tail = ReplaceRefused(suffix);
    const qsizetype room = kMaxFileNameBytes - tail.toUtf8().size();
    if (safe.toUtf8().size() > room)
        safe = CutToBytes(safe, std::max<qsizetype>(room, 1));
    return safe + tail;
}

QString WithDefaultSuffix(const QString& chosen, const QString& suffix) {
    return QFileInfo(chosen).suffix().isEmpty() ? chosen + suffix : chosen;
}

}  // namespace output
