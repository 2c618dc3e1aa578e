#include "controls/TExtEdit.h"

namespace controls {

namespace {

// The length in UTF-16 units of the last character of a non-empty text.
int LastCharacterLength(const QString& text) {
    const qsizetype size = text.size();
    return size >= 2 && text.at(size - 1).isLowSurrogate() && text.at(size - 2).isHighSurrogate()
               ? 2
               : 1;
}

QString CapitaliseLastCharacter(const QString& text) {
    const int last = LastCharacterLength(text);
    return text.left(text.size() - last) + text.right(last).toUpper();
}

}  // namespace

QString ApplyEditStyle(int editStyle, const QString& text) {
    if (text.isEmpty())
        return text;
    switch (editStyle) {
        case 1: {
            const int last = LastCharacterLength(text);
            if (text.size() == last)
                return text.toUpper();
            const QChar before = text.at(text.size() - last - 1);
            if (before == QLatin1Char(' ') || before == QLatin1Char('-'))
                return CapitaliseLastCharacter(text);
            return text;
        }
        case 2:
            return text.toUpper();
        default:
            return text;
    }
}

TExtEdit::TExtEdit(QWidget* parent) : TEditSD(parent) {
    connect(this, &QLineEdit::textChanged, this, &TExtEdit::AdjustLetterCase);
}

void TExtEdit::SetEditStyle(int editStyle) {
    editStyle_ = editStyle;
}

void TExtEdit::AdjustLetterCase() {
    const QString adjusted = ApplyEditStyle(editStyle_, text());
    if (adjusted == text())
        return;
    // setText puts the caret at the end of the text, as the rule wants.
    setText(adjusted);
}

}  // namespace controls
