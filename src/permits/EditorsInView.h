#pragma once

#include <QObject>
#include <functional>

class QTableWidget;

namespace permits {

// Gives the rows of a grid their cell editors as they come into view, so that a grid of
// hundreds of rows opens as fast as one of three: a row gets its editors the first time it
// is shown (or the row just below the shown ones, so that a step down finds them ready) and
// keeps them until it is removed. A row has its editors when its first cell has one.
class EditorsInView : public QObject {
public:
    using MakeRowEditors = std::function<void(int row)>;

    EditorsInView(QTableWidget* grid, MakeRowEditors makeRowEditors);

    // Gives the rows now in view their editors. The grid calls it when it scrolls or
    // changes its size; the owner after it adds or removes rows.
    void Update();
    // Gives one row its editors now (before the focus goes into it).
    void Ensure(int row);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTableWidget* grid_;
    QWidget* viewport_;
    MakeRowEditors makeRowEditors_;
};

}  // namespace permits
