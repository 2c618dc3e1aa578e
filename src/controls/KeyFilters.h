#pragma once

#include <QString>

class QLineEdit;

namespace controls {

// Fields that drop characters as they are typed.
enum class KeyFilter {
    // "0" to "9".
    DigitsOnly,
    // "0" to "9", the Russian letters А to я and the blank; Ё and ё are not kept.
    RussianAndDigits,
    // The same and the double quote and the apostrophe, for an organisation's name.
    OrganisationName,
};

// Whether the filter keeps a typed character.
bool KeepsCharacter(KeyFilter filter, QChar c);

// The text with the characters the filter drops taken out.
QString FilterText(KeyFilter filter, const QString& text);

// Makes `edit` drop what the filter does not keep: typed characters are discarded before
// they reach the field, and pasted or dropped text arrives without them. Backspace, Delete,
// the cursor keys and shortcuts work as usual, and a text set by the program is left alone.
void InstallKeyFilter(QLineEdit* edit, KeyFilter filter);

}  // namespace controls
