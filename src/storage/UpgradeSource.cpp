#include "storage/UpgradeSource.h"

#include "storage/Database.h"
#include "storage/Views.h"

namespace storage {

namespace {

class EmptyView final : public SourceView {
public:
    const Layout& layout() const override { return layout_; }
    void forEachRow(const std::function<void(const SourceRow&)>&) const override {}

private:
    Layout layout_;
};

class SqliteRow final : public SourceRow {
public:
    explicit SqliteRow(const Statement& query) : query_(query) {}

    qint32 intValue(int property) const override {
        if (query_.isNull(property))
            return 0;
        if (query_.isInteger(property))
            return static_cast<qint32>(query_.columnInt64(property));
        return TextToInteger(query_.columnText(property));
    }

    QString textValue(int property) const override {
        if (query_.isNull(property))
            return {};
        if (query_.isInteger(property))
            return QString::number(query_.columnInt64(property));
        return query_.columnText(property);
    }

private:
    const Statement& query_;
};

class SqliteView final : public SourceView {
public:
    SqliteView(Database& db, Layout layout) : db_(db), layout_(std::move(layout)) {}

    const Layout& layout() const override { return layout_; }

    void forEachRow(const std::function<void(const SourceRow&)>& visit) const override {
        QStringList columns;
        for (const Property& property : layout_.properties)
            columns << QuotedName(property.name);
        Statement query =
            db_.prepare(QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid")
                            .arg(columns.join(QLatin1Char(',')), QuotedName(layout_.view))
                            .toStdString());
        const SqliteRow row(query);
        while (query.step())
            visit(row);
    }

private:
    Database& db_;
    Layout layout_;
};

}  // namespace

QString SqliteUpgradeSource::structureDescription() const {
    return StructureDescription(db_);
}

std::unique_ptr<SourceView> SqliteUpgradeSource::openView(const Layout& stored) const {
    if (stored.view.isEmpty() || stored.properties.isEmpty())
        return std::make_unique<EmptyView>();
    return std::make_unique<SqliteView>(db_, stored);
}

qint32 TextToInteger(const QString& text) {
    bool ok = false;
    const qint32 value = text.trimmed().toInt(&ok, 10);
    if (!ok)
        throw ConversionError("not an integer: " + text.toStdString());
    return value;
}

}  // namespace storage
