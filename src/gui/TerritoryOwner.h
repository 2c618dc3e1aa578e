#pragma once

#include <QList>
#include <QString>
#include <functional>

namespace gui {

// A record being entered whose territories of work the territory dialog edits: the citizen,
// the permit or the package. The dialog reads the list when it is shown and, on
// "Сохранить", gives the new list back; nothing reaches the database until the owner saves.
class TerritoryOwner {
public:
    enum class Kind { Citizen = 0, Permit = 1, Package = 2 };

    virtual ~TerritoryOwner() = default;

    virtual Kind territoryOwnerKind() const = 0;
    // The identifiers of the owner's territories, in order.
    virtual QList<int> territoryIds() const = 0;
    // How many territories the owner can hold; 0 for no limit.
    virtual int territoryLimit() const { return 0; }
    // The new list, and the names of its territories joined by "," for the owner's Memo1.
    virtual void setTerritories(const QList<int>& ids, const QString& names) = 0;
};

// Opens the territory dialog for an owner and tells whether the owner's list was replaced.
// The windows of other folders get it from the program at start-up.
using TerritoryEditor = std::function<bool(TerritoryOwner&)>;

}  // namespace gui
