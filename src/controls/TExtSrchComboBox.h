#pragma once

#include <QComboBox>
#include <memory>

#include "controls/DisabledLook.h"
#include "dictionaries/ReferenceLists.h"

namespace controls {

class SearchItemsModel;

// A drop-down list that narrows its items as the user types. It keeps the whole list it was
// loaded with (the master list) and the characters typed since it last received the focus
// (the search text); its items are the master entries that contain the search text, those
// that begin with it first, led by an empty entry when the search text is empty and the last
// load asked for one. The user cannot type free text into it. Grey while disabled.
class TExtSrchComboBox : public QComboBox {
    Q_OBJECT

public:
    // The items never hold more than this many entries of a loaded list.
    static constexpr int kLoadedItemsLimit = 9999;
    // Narrowing stops listing names once the items hold more than this many.
    static constexpr int kFilteredItemsLimit = 10000;

    explicit TExtSrchComboBox(QWidget* parent = nullptr);
    ~TExtSrchComboBox() override;

    // Replaces the master list and the items, with an empty entry (identifier -1) first when
    // `withEmptyEntry`; empties the search text. Nothing is selected afterwards. Returns the
    // number of entries of the list.
    int LoadList(const dictionaries::ReferenceList& list, bool withEmptyEntry = true);

    // Loads the entries of `list` whose second value equals `value`, with the empty entry.
    void LoadEntriesWithExtra(const dictionaries::ReferenceList& list, int value);

    // Makes the items show what the search text selects, the first one selected, and closes
    // the drop-down.
    void UpdateDrop();

    // Selects the first item with this identifier; with none, nothing is selected.
    void SelectComboItemById(int id);

    // The identifier of the selected item; -1 when nothing is selected.
    int SelectedComboItemId() const;

    // The item of a row of the items (a default item, identifier -1, for no row).
    dictionaries::ComboItem ComboItemAt(int row) const;

    // Whether an empty entry leads the items while the search text is empty.
    bool EmptyEntry() const { return emptyEntry_; }

    const QString& SearchText() const { return searchText_; }

    // Forgets the search text and the choice: the whole list again, nothing selected.
    void ClearChoice();

    // The background colour while enabled.
    void SetColor(const QColor& colour);
    QColor Color() const;

signals:
    // A character reached the search: the text of the key, or "\r" for Enter, "\x1b" for
    // Escape and "\b" for Backspace. Dialogs react to Enter and the space bar this way.
    void characterTyped(const QString& character);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void TypeCharacter(const QString& character);
    void Refilter(bool typed);
    bool PopupVisible() const;

    QString searchText_;
    bool emptyEntry_ = true;
    SearchItemsModel* items_;
    DisabledLook disabledLook_;
    std::unique_ptr<QStyle> style_;
};

}  // namespace controls
