#include "controls/KeyFilters.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <memory>

namespace controls {

namespace {

bool IsDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The letters of the Windows Cyrillic code page from 192 to 255: А to я, without Ё and ё.
bool IsBasicRussianLetter(QChar c) {
    return c.unicode() >= 0x0410 && c.unicode() <= 0x044F;
}

// The name by which a field's watcher is found again.
const QString kWatcherName = QStringLiteral("KeyFilterWatcher");

// A tab, a line break of any kind.
bool IsLineSpace(QChar c) {
    switch (c.unicode()) {
        case u'\t':
        case u'\n':
        case u'\v':
        case u'\f':
        case u'\r':
        case 0x0085:  // next line
        case 0x2028:  // line separator
        case 0x2029:  // paragraph separator
            return true;
        default:
            return false;
    }
}

// Watches one line edit and keeps the filtered-out characters from reaching it.
class KeyFilterWatcher : public QObject {
public:
    KeyFilterWatcher(QLineEdit* edit, KeyFilter filter)
        : QObject(edit), edit_(edit), filter_(filter) {
        setObjectName(kWatcherName);
        edit->installEventFilter(this);
    }

    void setFilter(KeyFilter filter) { filter_ = filter; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != edit_)
            return false;
        switch (event->type()) {
            case QEvent::KeyPress:
                return keyPress(static_cast<QKeyEvent*>(event));
            case QEvent::InputMethod:
                inputMethod(static_cast<QInputMethodEvent*>(event));
                return false;
            case QEvent::ContextMenu:
                contextMenu(static_cast<QContextMenuEvent*>(event));
                return true;
            case QEvent::MouseButtonRelease:
                return middleClickPaste(static_cast<QMouseEvent*>(event));
            case QEvent::Drop:
                drop(static_cast<QDropEvent*>(event));
                return true;
            default:
                return false;
        }
    }

private:
    bool keyPress(QKeyEvent* event) {
        if (event->matches(QKeySequence::Paste)) {
            pasteFrom(QClipboard::Clipboard);
            return true;
        }
        const QString text = event->text();
        // Keys without printable text (Backspace, Delete, arrows, shortcuts) pass.
        if (text.isEmpty() || !text.at(0).isPrint())
            return false;
        if (event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))
            return false;
        return FilterText(filter_, text) != text;
    }

    void inputMethod(QInputMethodEvent* event) {
        const QString commit = event->commitString();
        if (!commit.isEmpty()) {
            event->setCommitString(FilterText(filter_, commit), event->replacementStart(),
                                   event->replacementLength());
        }
    }

    // The usual menu, with its paste filtered like typing.
    void contextMenu(QContextMenuEvent* event) {
        std::unique_ptr<QMenu> menu(edit_->createStandardContextMenu());
        for (QAction* action : menu->actions()) {
            if (action->objectName() == QLatin1String("edit-paste")) {
                disconnect(action, &QAction::triggered, nullptr, nullptr);
                connect(action, &QAction::triggered, this,
                        [this] { pasteFrom(QClipboard::Clipboard); });
            }
        }
        menu->exec(event->globalPos());
    }

    bool middleClickPaste(QMouseEvent* event) {
        if (event->button() != Qt::MiddleButton || edit_->isReadOnly() ||
            !QApplication::clipboard()->supportsSelection())
            return false;
        edit_->deselect();
        edit_->setCursorPosition(edit_->cursorPositionAt(event->position().toPoint()));
        pasteFrom(QClipboard::Selection);
        return true;
    }

    void drop(QDropEvent* event) {
        if (edit_->isReadOnly() || !event->mimeData()->hasText()) {
            event->ignore();
            return;
        }
        edit_->deselect();
        edit_->setCursorPosition(edit_->cursorPositionAt(event->position().toPoint()));
        edit_->insert(FilterText(filter_, event->mimeData()->text()));
        event->setDropAction(Qt::CopyAction);
        event->accept();
        edit_->setFocus(Qt::OtherFocusReason);
    }

    void pasteFrom(QClipboard::Mode mode) {
        if (edit_->isReadOnly())
            return;
        // insert() replaces the selection and counts as the user's edit (undo, textEdited).
        edit_->insert(FilterText(filter_, QApplication::clipboard()->text(mode)));
    }

    QLineEdit* edit_;
    KeyFilter filter_;
};

}  // namespace

bool KeepsCharacter(KeyFilter filter, QChar c) {
    if (IsDigit(c))
        return true;
    switch (filter) {
        case KeyFilter::AnyText:
            return !IsLineSpace(c);
        case KeyFilter::DigitsOnly:
            return false;
        case KeyFilter::DateText:
            return c == QLatin1Char('/');
        case KeyFilter::RussianAndDigits:
            return c == QLatin1Char(' ') || IsBasicRussianLetter(c);
        case KeyFilter::OrganisationName:
            return c == QLatin1Char(' ') || c == QLatin1Char('"') || c == QLatin1Char('\'') ||
                   IsBasicRussianLetter(c);
    }
    return false;
}

QString FilterText(KeyFilter filter, const QString& text) {
    QString kept;
    kept.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        QChar c = text.at(i);
        if (IsLineSpace(c)) {
            // A CR LF pair is one line break.
            if (c == QLatin1Char('\r') && i + 1 < text.size() &&
                text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            c = QLatin1Char(' ');
        }
        if (KeepsCharacter(filter, c))
            kept.append(c);
    }
    return kept;
}

void InstallKeyFilter(QLineEdit* edit, KeyFilter filter) {
    if (auto* watcher = edit->findChild<QObject*>(kWatcherName, Qt::FindDirectChildrenOnly))
        static_cast<KeyFilterWatcher*>(watcher)->setFilter(filter);
    else
        new KeyFilterWatcher(edit, filter);
}

}  // namespace controls
