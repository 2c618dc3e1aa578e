#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <stdexcept>

#include "storage/Schema.h"

namespace storage {

class Database;
class LegacyFile;

// A stored value that cannot be read with the type it is copied into (a text that is not a
// decimal integer, for an integer property).
class ConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One row of a view being copied. Values are read with the type of the property they are
// copied into; `property` is a position in the view's stored layout.
class SourceRow {
public:
    virtual ~SourceRow() = default;
    virtual qint32 intValue(int property) const = 0;  // throws ConversionError
    virtual QString textValue(int property) const = 0;
};

// The rows of one view, in stored order, as the storage holds them.
class SourceView {
public:
    virtual ~SourceView() = default;
    virtual const Layout& layout() const = 0;
    virtual void forEachRow(const std::function<void(const SourceRow&)>& visit) const = 0;
};

// Read-only storage that an upgrade copies from: a database of ours or a file of another
// format.
class UpgradeSource {
public:
    virtual ~UpgradeSource() = default;
    // The layouts of the storage's views in its own order, separated by ",".
    virtual QString structureDescription() const = 0;
    // The view the storage holds with this stored layout; a layout with an empty view name
    // gives a view without rows.
    virtual std::unique_ptr<SourceView> openView(const Layout& stored) const = 0;
};

// The upgrade source over one of our own SQLite files.
class SqliteUpgradeSource final : public UpgradeSource {
public:
    explicit SqliteUpgradeSource(Database& db) : db_(db) {}
    QString structureDescription() const override;
    std::unique_ptr<SourceView> openView(const Layout& stored) const override;

private:
    Database& db_;
};

// The upgrade source over a data file of the earlier program. Its views take part with their
// I and S properties, the types this program stores.
class LegacyUpgradeSource final : public UpgradeSource {
public:
    // Throws LegacyFileError when a property the schema knows is stored with another type.
    explicit LegacyUpgradeSource(const LegacyFile& file);
    QString structureDescription() const override;
    std::unique_ptr<SourceView> openView(const Layout& stored) const override;

private:
    const LegacyFile& file_;
};

// Reads a decimal integer text as the data file reads it into an integer property: optional
// blanks and sign, then digits, within 32 bits. Throws ConversionError otherwise.
qint32 TextToInteger(const QString& text);

}  // namespace storage
