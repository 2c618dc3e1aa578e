#include "controls/TExtSrchComboBox.h"

#include <QAbstractListModel>
#include <QCoreApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QListView>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionComboBox>
#include <algorithm>
#include <vector>

namespace controls {

using dictionaries::ComboItem;
using dictionaries::ReferenceList;

namespace {

const QString kEnter = QStringLiteral("\r");
const QString kEscape = QStringLiteral("\x1b");
const QString kBackspace = QStringLiteral("\b");
const QString kSpace = QStringLiteral(" ");

// The character a key types into the search, or a null text for keys that type none
// (arrows, function keys, shortcuts).
QString TypedText(const QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return kEnter;
        case Qt::Key_Escape:
            return kEscape;
        case Qt::Key_Backspace:
            return kBackspace;
        default:
            break;
    }
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return {};
    const QString text = event->text();
    if (text.isEmpty() || !text.at(0).isPrint())
        return {};
    return text;
}

// The length in UTF-16 units of the last character of a non-empty text.
int LastCharacterLength(const QString& text) {
    const qsizetype size = text.size();
    return size >= 2 && text.at(size - 1).isLowSurrogate() && text.at(size - 2).isHighSurrogate()
               ? 2
               : 1;
}

// Makes the list drop below the box, at most maxVisibleItems() rows high with a scroll bar,
// whatever the style's habit: a style that lays the list over the box measures every one of
// thousands of names each time the list opens or narrows.
class DropDownBelowStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == QStyle::SH_ComboBox_Popup)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

}  // namespace

// The items of the drop-down list: rows of the master list, -1 standing for the empty entry.
// Narrowing replaces the rows in one reset, so that thousands of names cost one update of
// the list view rather than one per name.
class SearchItemsModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    void SetMaster(const ReferenceList& master) {
        beginResetModel();
        master_ = master;
        masterUpper_.clear();
        masterUpper_.reserve(master.size());
        for (const dictionaries::ReferenceEntry& entry : master)
            masterUpper_.append(entry.name.toUpper());
        rows_.clear();
        endResetModel();
    }

    void SetRows(std::vector<int> rows) {
        beginResetModel();
        rows_ = std::move(rows);
        endResetModel();
    }

    int MasterSize() const { return static_cast<int>(master_.size()); }
    const QStringList& MasterUpper() const { return masterUpper_; }

    ComboItem Item(int row) const {
        if (row < 0 || row >= rowCount())
            return ComboItem();
        const int master = rows_[row];
        return master < 0 ? ComboItem(-1) : master_.at(master).item;
    }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(rows_.size());
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= rowCount())
            return {};
        const int master = rows_[index.row()];
        switch (role) {
            case Qt::DisplayRole:
            case Qt::EditRole:
                return master < 0 ? QString() : master_.at(master).name;
            case Qt::UserRole:
                return Item(index.row()).id;
            default:
                return {};
        }
    }

private:
    ReferenceList master_;
    QStringList masterUpper_;
    std::vector<int> rows_;
};

TExtSrchComboBox::TExtSrchComboBox(QWidget* parent)
    : QComboBox(parent)
    , items_(new SearchItemsModel(this))
    , disabledLook_(this)
    , style_(std::make_unique<DropDownBelowStyle>()) {
    setStyle(style_.get());
    setEditable(false);
    setInsertPolicy(QComboBox::NoInsert);
    // Long lists must not widen the dialog, nor be measured name by name.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(8);
    setModel(items_);
    if (auto* list = qobject_cast<QListView*>(view()))
        list->setUniformItemSizes(true);
    // Typing goes on while the drop-down is open: its keys come here first.
    view()->installEventFilter(this);
    setCurrentIndex(-1);
}

TExtSrchComboBox::~TExtSrchComboBox() {
    setStyle(nullptr);  // the widget must not outlive its style
}

int TExtSrchComboBox::LoadList(const ReferenceList& list, bool withEmptyEntry) {
    emptyEntry_ = withEmptyEntry;
    searchText_.clear();
    items_->SetMaster(list);
    std::vector<int> rows;
    if (withEmptyEntry)
        rows.push_back(-1);
    const int loaded = std::min(static_cast<int>(list.size()), kLoadedItemsLimit);
    for (int i = 0; i < loaded; ++i)
        rows.push_back(i);
    items_->SetRows(std::move(rows));
    setCurrentIndex(-1);
    return static_cast<int>(list.size());
}

void TExtSrchComboBox::LoadEntriesWithExtra(const ReferenceList& list, int value) {
    LoadList(dictionaries::EntriesWithExtra(list, value), true);
}

void TExtSrchComboBox::UpdateDrop() {
    Refilter(false);
    hidePopup();
}

void TExtSrchComboBox::SelectComboItemById(int id) {
    setCurrentIndex(-1);
    for (int row = 0; row < count(); ++row) {
        if (items_->Item(row).id == id) {
            setCurrentIndex(row);
            return;
        }
    }
}

int TExtSrchComboBox::SelectedComboItemId() const {
    return currentIndex() < 0 ? -1 : items_->Item(currentIndex()).id;
}

ComboItem TExtSrchComboBox::ComboItemAt(int row) const {
    return items_->Item(row);
}

void TExtSrchComboBox::ClearChoice() {
    searchText_.clear();
    UpdateDrop();
    setCurrentIndex(-1);
}

void TExtSrchComboBox::SetColor(const QColor& colour) {
    disabledLook_.SetBackground(colour);
}

QColor TExtSrchComboBox::Color() const {
    return disabledLook_.Background();
}

void TExtSrchComboBox::keyPressEvent(QKeyEvent* event) {
    const QString character = TypedText(event);
    if (character.isNull()) {
        QComboBox::keyPressEvent(event);
        return;
    }
    TypeCharacter(character);
    // Enter also belongs to the dialog (its default button); other characters are the search's.
    event->setAccepted(character != kEnter);
}

void TExtSrchComboBox::focusInEvent(QFocusEvent* event) {
    // The focus comes back from the drop-down list itself when it closes: that is no entry.
    if (event->reason() != Qt::PopupFocusReason) {
        searchText_.clear();
        hidePopup();
    }
    QComboBox::focusInEvent(event);
}

// Disabled, the list looks like the disabled edits: a flat grey field with its text and its
// arrow, not the shaded face of a button.
void TExtSrchComboBox::paintEvent(QPaintEvent* event) {
    if (isEnabled()) {
        QComboBox::paintEvent(event);
        return;
    }
    QPainter painter(this);
    QStyleOptionFrame field;
    field.initFrom(this);
    field.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &field, this);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &field, &painter, this);

    QStyleOptionComboBox box;
    initStyleOption(&box);
    const QRect text =
        style()->subControlRect(QStyle::CC_ComboBox, &box, QStyle::SC_ComboBoxEditField, this);
    painter.setPen(palette().color(QPalette::Disabled, QPalette::Text));
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter,
                     fontMetrics().elidedText(currentText(), Qt::ElideRight, text.width()));
    // The arrow in the text's grey, where the face of the list would show it.
    QStyleOption arrow;
    arrow.initFrom(this);
    arrow.state |= QStyle::State_Enabled;
    arrow.palette.setColor(QPalette::WindowText,
                           palette().color(QPalette::Disabled, QPalette::Text));
    const QRect button =
        style()->subControlRect(QStyle::CC_ComboBox, &box, QStyle::SC_ComboBoxArrow, this);
    arrow.rect = QRect(0, 0, 8, 8);
    arrow.rect.moveCenter(button.center());
    style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &arrow, &painter, this);
}

void TExtSrchComboBox::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange)
        disabledLook_.Update();
    QComboBox::changeEvent(event);
}

bool TExtSrchComboBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view() && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            // Tab takes the highlighted item as Enter does and goes on to the next field, as
            // from a closed list: typing into a list never traps the keyboard.
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, kEnter);
            QCoreApplication::sendEvent(view(), &enter);
            QKeyEvent tab(QEvent::KeyPress, key->key(), key->modifiers());
            QCoreApplication::sendEvent(this, &tab);
            return true;
        }
        const QString character = TypedText(key);
        if (!character.isNull()) {
            TypeCharacter(character);
            // Enter still chooses the highlighted item and closes the list.
            return character != kEnter;
        }
    }
    return QComboBox::eventFilter(watched, event);
}

void TExtSrchComboBox::TypeCharacter(const QString& character) {
    searchText_ += character;
    if (character != kEnter && character != kSpace) {
        if (character == kEscape)
            searchText_.clear();
        else if (character == kBackspace)
            searchText_.chop(2);  // the backspace and the character before it
        Refilter(true);
    }
    emit characterTyped(character);
}

bool TExtSrchComboBox::PopupVisible() const {
    return view()->isVisible();
}

// Lists the master entries that contain the search text, those that begin with it first;
// a search text that no entry contains loses its last character and changes nothing.
void TExtSrchComboBox::Refilter(bool typed) {
    const QString search = searchText_.toUpper();
    const QStringList& names = items_->MasterUpper();
    if (!search.isEmpty() &&
        std::none_of(names.cbegin(), names.cend(),
                     [&search](const QString& name) { return name.contains(search); })) {
        searchText_.chop(LastCharacterLength(searchText_));
        return;
    }
    std::vector<int> rows;
    if (emptyEntry_ && search.isEmpty())
        rows.push_back(-1);
    const auto listPass = [&](auto matches) {
        for (int i = 0; i < names.size(); ++i) {
            if (matches(names.at(i)))
                rows.push_back(i);
            if (rows.size() > static_cast<size_t>(kFilteredItemsLimit))
                break;
        }
    };
    listPass([&search](const QString& name) { return name.startsWith(search); });
    listPass([&search](const QString& name) { return name.indexOf(search) > 0; });
    items_->SetRows(std::move(rows));

    setCurrentIndex(count() > 0 ? 0 : -1);
    if (PopupVisible()) {
        view()->setCurrentIndex(model()->index(0, 0));
        showPopup();  // fits the open list to its new items
    } else if (typed) {
        showPopup();
    }
}

}  // namespace controls
