#include "dictionaries/ReferenceLists.h"

#include <QStringList>
#include <algorithm>

namespace dictionaries {

namespace {

const ReferenceEntry* FirstWithId(const ReferenceList& list, int id) {
    const auto found = std::find_if(list.cbegin(), list.cend(), [id](const ReferenceEntry& entry) {
        return entry.item.id == id;
    });
    return found == list.cend() ? nullptr : &*found;
}

}  // namespace

QString NameById(const ReferenceList& list, int id) {
    const ReferenceEntry* entry = FirstWithId(list, id);
    return entry ? entry->name : QString();
}

int ExtraById(const ReferenceList& list, int id) {
    const ReferenceEntry* entry = FirstWithId(list, id);
    return entry ? entry->item.extra : 0;
}

ReferenceList EntriesWithExtra(const ReferenceList& list, int value) {
    ReferenceList result;
    for (const ReferenceEntry& entry : list) {
        if (entry.item.extra == value)
            result.append({entry.name, ComboItem(entry.item.id)});
    }
    return result;
}

QString JoinedNames(const ReferenceList& list, const QList<int>& ids, QChar separator) {
    QStringList names;
    names.reserve(ids.size());
    for (int id : ids)
        names << NameById(list, id);
    return names.join(separator);
}

}  // namespace dictionaries
