#pragma once

#include <QList>
#include <QString>

namespace dictionaries {

// What a list or combo box entry carries besides its name: the identifier of a reference
// entry (-1 for the empty entry) and a second value (a district's region, a prefix's case;
// 0 when the entry has none).
struct ComboItem {
    ComboItem() = default;
    explicit ComboItem(int id_, int extra_ = 0) : id(id_), extra(extra_) {}

    int id = -1;
    int extra = 0;

    friend bool operator==(const ComboItem&, const ComboItem&) = default;
};

// One entry of a reference list: the name shown to the user and its item.
struct ReferenceEntry {
    QString name;
    ComboItem item;

    friend bool operator==(const ReferenceEntry&, const ReferenceEntry&) = default;
};

// A reference list in file order: not sorted, duplicates kept.
using ReferenceList = QList<ReferenceEntry>;

// The eight lists read from the reference files at start-up; unchanged for the rest of the run.
struct ReferenceLists {
    ReferenceList visaFreeCountries;    // the nonvisa group of countries.xml
    ReferenceList allCountries;         // the nonvisa group, then the visa group
    ReferenceList professions;          // professions.xml
    ReferenceList territories;          // territories.xml
    ReferenceList regions;              // regions.xml
    ReferenceList districts;            // district.xml; extra: the region's identifier
    ReferenceList professionPrefixes;   // professions_prefix.xml; extra: the case (0 or 1)
    ReferenceList genitiveProfessions;  // professions_case.xml
};

// The name of the first entry with this identifier; empty when there is none.
QString NameById(const ReferenceList& list, int id);

// The second value of the first entry with this identifier; 0 when there is none.
int ExtraById(const ReferenceList& list, int id);

// The entries whose second value equals `value`, in list order, each with a new item that
// holds the identifier alone (the districts of a region, for example).
ReferenceList EntriesWithExtra(const ReferenceList& list, int value);

// The names of the identifiers in their order, joined by `separator` with no blank (the
// territories of a record as its Memo1 shows them); an identifier no entry has gives an
// empty name, so that the names still stand in the positions of their identifiers.
QString JoinedNames(const ReferenceList& list, const QList<int>& ids, QChar separator);

}  // namespace dictionaries
