#pragma once

#include <QString>

class QLineEdit;

namespace controls {

// What a one-line field keeps of what is typed, pasted or dropped into it. Whatever the
// filter, a field never takes a line break or a tab: pasted ones become blanks.
enum class KeyFilter {
    // Every character.
    AnyText,
    // "0" to "9".
    DigitsOnly,
    // "0" to "9", the Russian letters А to я and the blank; Ё and ё are not kept.
    RussianAndDigits,
    // The same and the double quote and the apostrophe, for an organisation's name.
    OrganisationName,
    // "0" to "9" and "/", what a date text holds.
    DateText,
};

// Whether the filter keeps a typed character.
bool KeepsCharacter(KeyFilter filter, QChar c);

// The text as a one-line field takes it: each line break (CR LF, CR or LF, and the other
// breaks of Unicode) and each tab becomes one blank, then the characters the filter drops
// are taken out.
QString FilterText(KeyFilter filter, const QString& text);

// Makes `edit` drop what the filter does not keep: typed characters are discarded before
// they reach the field, and pasted or dropped text arrives without them. Backspace, Delete,
// the cursor keys and shortcuts work as usual, and a text set by the program is left alone.
// The program's own edits install AnyText when they are made; a later call replaces the
// filter of the field.
void InstallKeyFilter(QLineEdit* edit, KeyFilter filter);

}  // namespace controls
