#pragma once

#include "controls/TEditSD.h"

namespace controls {

// The letter case a TExtEdit gives its text as the user types: 0 leaves it alone, 1 starts
// every word with a capital letter, 2 upper-cases everything.
QString ApplyEditStyle(int editStyle, const QString& text);

// An edit that adjusts letter case after every change of its text.
class TExtEdit : public TEditSD {
    Q_OBJECT
    Q_PROPERTY(int EditStyle READ EditStyle WRITE SetEditStyle)

public:
    explicit TExtEdit(QWidget* parent = nullptr);

    int EditStyle() const { return editStyle_; }
    void SetEditStyle(int editStyle);

private:
    void AdjustLetterCase();

    int editStyle_ = 0;
};

}  // namespace controls
