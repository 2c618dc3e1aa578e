#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace storage {

// The type letter of a property: `I` is a 32-bit signed integer, `S` a text.
enum class PropertyType { Integer, Text };

struct Property {
    QString name;
    PropertyType type = PropertyType::Integer;

    bool operator==(const Property&) const = default;
};

// A view's layout in the description syntax of the data file: the view name, "[", the
// properties as name ":" type letter separated by ",", and "]". Property order is part of
// the file format.
struct Layout {
    QString view;
    QList<Property> properties;

    // Accepts "name[a:I,b:S]" and "name[]"; returns nothing for any other text.
    static std::optional<Layout> parse(const QString& text);
    QString toString() const;

    // Position of the property whose name equals `name` without regard to ASCII letter case,
    // or -1.
    int indexOf(const QString& name) const;

    bool operator==(const Layout&) const = default;
};

// Splits a structure description ("a[x:I],b[y:S,z:I]") into one layout per view: each
// piece ends at the first "]," or at the end of the text. Pieces that do not parse are
// skipped; an empty description gives no layouts.
QList<Layout> SplitStructureDescription(const QString& description);

// Case-insensitive comparison of view and property names (ASCII letters only), as the data
// file matches them.
bool SameName(const QString& a, const QString& b);

namespace schema {

// The version of the layouts below, recorded under "DATABASE_VERSION".
inline constexpr int kDatabaseVersion = 2;

// The layouts of the seventeen views, in the order in which the schema lists them.
const QList<Layout>& Layouts();

// The schema's layout for a view name (matched without regard to ASCII case), or nothing.
std::optional<Layout> LayoutOf(const QString& view);

// The view names sorted as the upgrade walks them (byte order of the names).
QStringList ViewsInUpgradeOrder();

// Named layouts for the store operations.
const Layout& Ig();
const Layout& Pp();
const Layout& Org();
const Layout& Rnpirs();
const Layout& RnpirsCountry();
const Layout& RnpirsProfess();
const Layout& IgTerritory();
const Layout& RnpTerritory();
const Layout& OptionPp();
const Layout& OptionRegion();
const Layout& IgPackage();
const Layout& IgPhAddr();
const Layout& AppOptions();
const Layout& PkgTerritory();

}  // namespace schema
}  // namespace storage
