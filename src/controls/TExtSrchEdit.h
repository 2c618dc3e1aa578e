#pragma once

#include <QPointer>
#include <QStringList>

#include "controls/TEditSD.h"
#include "dictionaries/ReferenceLists.h"

class QFrame;
class QListWidget;
class QListWidgetItem;

namespace controls {

// An edit that offers suggestions as the user types: a list under the edit shows the
// suggestions that begin with the text, then those that contain it later. The edit keeps
// whatever the user types; a suggestion is taken with Enter, the space bar or a click once
// it is selected.
class TExtSrchEdit : public TEditSD {
    Q_OBJECT

public:
    // Each listed suggestion takes this many pixels of the drop-down; at most this many are
    // shown at once; the drop-down is this much higher than its rows.
    static constexpr int kRowHeight = 12;
    static constexpr int kVisibleRows = 6;
    static constexpr int kPadding = 8;

    explicit TExtSrchEdit(QWidget* parent = nullptr);
    ~TExtSrchEdit() override;

    // Replaces the suggestions with the names of the list, in order. Returns their number.
    int LoadList(const dictionaries::ReferenceList& list);

    // The drop-down window and its list box.
    QFrame* DropDown() const { return dropDown_; }
    QListWidget* ListBox() const { return listBox_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void Refill();
    void ShowDropDown();
    void MoveSelection(int step);
    bool SuggestionSelected() const;
    void TakeSuggestion(const QListWidgetItem* item);

    QStringList suggestions_;
    QStringList upperSuggestions_;  // for comparing without regard to letter case
    // A child of the edit's window, so that it floats over the controls below the edit;
    // the window may go first, hence the guarded pointer.
    QPointer<QFrame> dropDown_;
    QListWidget* listBox_;
};

}  // namespace controls
