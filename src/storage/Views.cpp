#include "storage/Views.h"

#include "storage/Database.h"

namespace storage {

namespace {

QString ColumnDefinition(const Property& property) {
    const QString name = QuotedName(property.name);
    // Text compares without regard to the case of Latin letters only, as keys always have.
    return property.type == PropertyType::Integer
               ? name + QStringLiteral(" INTEGER NOT NULL DEFAULT 0")
               : name + QStringLiteral(" TEXT NOT NULL DEFAULT '' COLLATE NOCASE");
}

QString CreateTableSql(const QString& table, const Layout& layout) {
    QStringList columns;
    for (const Property& property : layout.properties)
        columns << ColumnDefinition(property);
    // SQLite needs at least one column; an empty layout only happens for hand-made files.
    if (columns.isEmpty())
        columns << QStringLiteral("\"_\" INTEGER");
    return QStringLiteral("CREATE TABLE %1 (%2) STRICT")
        .arg(QuotedName(table), columns.join(QStringLiteral(", ")));
}

bool SameLayout(const Layout& a, const Layout& b) {
    if (!SameName(a.view, b.view) || a.properties.size() != b.properties.size())
        return false;
    for (qsizetype i = 0; i < a.properties.size(); ++i) {
        if (!SameName(a.properties[i].name, b.properties[i].name) ||
            a.properties[i].type != b.properties[i].type)
            return false;
    }
    return true;
}

// The value a restructured table gives a property: the old column of the same name, cast
// when its type changed, or the default of the type.
QString CarriedValue(const Property& property, const Layout& old) {
    const int index = old.indexOf(property.name);
    const bool integer = property.type == PropertyType::Integer;
    if (index < 0)
        return integer ? QStringLiteral("0") : QStringLiteral("''");
    const QString column = QuotedName(old.properties[index].name);
    if (old.properties[index].type == property.type)
        return column;
    return QStringLiteral("coalesce(CAST(%1 AS %2), %3)")
        .arg(column, integer ? QStringLiteral("INTEGER") : QStringLiteral("TEXT"),
             integer ? QStringLiteral("0") : QStringLiteral("''"));
}

void Restructure(Database& db, const Layout& old, const Layout& layout) {
    const QString scratch = layout.view + QStringLiteral("__restructure");
    QStringList targets{QStringLiteral("rowid")};
    QStringList values{QStringLiteral("rowid")};
    for (const Property& property : layout.properties) {
        targets << QuotedName(property.name);
        values << CarriedValue(property, old);
    }
    Transaction transaction(db);
    db.exec(CreateTableSql(scratch, layout).toStdString());
    db.exec(QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM %4 ORDER BY rowid")
                .arg(QuotedName(scratch), targets.join(QLatin1Char(',')),
                     values.join(QLatin1Char(',')), QuotedName(old.view))
                .toStdString());
    db.exec(QStringLiteral("DROP TABLE %1").arg(QuotedName(old.view)).toStdString());
    db.exec(QStringLiteral("ALTER TABLE %1 RENAME TO %2")
                .arg(QuotedName(scratch), QuotedName(layout.view))
                .toStdString());
    transaction.commit();
}

QStringList TableNames(Database& db) {
    // sqlite_schema lists tables in the order they were made.
    Statement query = db.prepare(
        "SELECT name FROM sqlite_schema WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' "
        "ESCAPE '\\' ORDER BY rowid");
    QStringList names;
    while (query.step())
        names << query.columnText(0);
    return names;
}

}  // namespace

QString QuotedName(const QString& name) {
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

Layout StoredLayout(Database& db, const QString& view) {
    Statement info = db.prepare("SELECT name, type FROM pragma_table_info(?1)");
    info.bind(1, view);
    Layout layout;
    while (info.step()) {
        const bool integer =
            info.columnText(1).compare(QStringLiteral("INTEGER"), Qt::CaseInsensitive) == 0;
        layout.properties.append(
            {info.columnText(0), integer ? PropertyType::Integer : PropertyType::Text});
    }
    if (!layout.properties.isEmpty()) {
        // The table's own spelling of its name.
        Statement name = db.prepare(
            "SELECT name FROM sqlite_schema WHERE type = 'table' AND name = ?1 COLLATE NOCASE");
        name.bind(1, view);
        layout.view = name.step() ? name.columnText(0) : view;
    }
    return layout;
}

void OpenView(Database& db, const Layout& layout) {
    const Layout stored = StoredLayout(db, layout.view);
    if (stored.view.isEmpty()) {
        db.exec(CreateTableSql(layout.view, layout).toStdString());
        return;
    }
    if (!SameLayout(stored, layout))
        Restructure(db, stored, layout);
}

QString StructureDescription(Database& db) {
    QStringList layouts;
    for (const QString& table : TableNames(db))
        layouts << StoredLayout(db, table).toString();
    return layouts.join(QLatin1Char(','));
}

}  // namespace storage
