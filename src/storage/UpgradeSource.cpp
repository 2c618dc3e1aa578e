#include "storage/UpgradeSource.h"

#include "storage/Database.h"
#include "storage/LegacyFile.h"
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

bool CopiedType(char type) {
    return type == 'I' || type == 'S';
}

// A legacy view's layout: its I and S properties.
Layout LayoutOf(const LegacyView& view) {
    Layout layout{view.name(), {}};
    for (const LegacyProperty& property : view.properties()) {
        if (CopiedType(property.type)) {
            layout.properties.append(
                {property.name, property.type == 'I' ? PropertyType::Integer : PropertyType::Text});
        }
    }
    return layout;
}

class LegacyRow final : public SourceRow {
public:
    LegacyRow(const LegacyView& view, const QList<int>& properties)
        : view_(view), properties_(properties) {}

    int row = 0;

    qint32 intValue(int property) const override {
        const int p = properties_[property];
        if (view_.properties()[p].type == 'I')
            return view_.integer(p, row);
        return TextToInteger(view_.text(p, row));
    }

    QString textValue(int property) const override {
        const int p = properties_[property];
        if (view_.properties()[p].type == 'S')
            return view_.text(p, row);
        return QString::number(view_.integer(p, row));
    }

private:
    const LegacyView& view_;
    const QList<int>& properties_;
};

class LegacySourceView final : public SourceView {
public:
    explicit LegacySourceView(const LegacyView& view) : view_(view), layout_(LayoutOf(view)) {
        for (const Property& property : layout_.properties)
            properties_ << view.indexOf(property.name);
    }

    const Layout& layout() const override { return layout_; }

    void forEachRow(const std::function<void(const SourceRow&)>& visit) const override {
        LegacyRow row(view_, properties_);
        for (row.row = 0; row.row < view_.rowCount(); ++row.row)
            visit(row);
    }

private:
    const LegacyView& view_;
    Layout layout_;
    QList<int> properties_;  // position in the legacy view of each property of the layout
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

LegacyUpgradeSource::LegacyUpgradeSource(const LegacyFile& file) : file_(file) {
    for (const LegacyView& view : file.views()) {
        const auto layout = schema::LayoutOf(view.name());
        if (!layout)
            continue;
        for (const LegacyProperty& property : view.properties()) {
            if (layout->indexOf(property.name) >= 0 && !CopiedType(property.type)) {
                throw LegacyFileError(LegacyFileError::Kind::Unsupported,
                                      QStringLiteral("свойство «%1.%2» хранится с типом %3")
                                          .arg(view.name(), property.name, QChar(property.type)));
            }
        }
    }
}

QString LegacyUpgradeSource::structureDescription() const {
    QStringList layouts;
    for (const LegacyView& view : file_.views())
        layouts << LayoutOf(view).toString();
    return layouts.join(QLatin1Char(','));
}

std::unique_ptr<SourceView> LegacyUpgradeSource::openView(const Layout& stored) const {
    const LegacyView* view = stored.view.isEmpty() ? nullptr : file_.view(stored.view);
    if (!view)
        return std::make_unique<EmptyView>();
    return std::make_unique<LegacySourceView>(*view);
}

qint32 TextToInteger(const QString& text) {
    bool ok = false;
    const qint32 value = text.trimmed().toInt(&ok, 10);
    if (!ok)
        throw ConversionError(
            QStringLiteral("«%1» не является целым числом").arg(text.left(40)).toStdString());
    return value;
}

}  // namespace storage
