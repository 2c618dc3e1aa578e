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

// Watches one line edit and keeps the filtered-out characters from reaching it.
class KeyFilterWatcher : public QObject {
public:
    KeyFilterWatcher(QLineEdit* edit, KeyFilter filter)
        : QObject(edit), edit_(edit), filter_(filter) {
        edit->installEventFilter(this);
    }

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
        case KeyFilter::DigitsOnly:
            return false;
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
    for (QChar c : text) {
        if (KeepsCharacter(filter, c))
            kept.append(c);
    }
    return kept;
}

void InstallKeyFilter(QLineEdit* edit, KeyFilter filter) {
    new KeyFilterWatcher(edit, filter);
}

}  // namespace controls
