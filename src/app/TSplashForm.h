#pragma once

#include <QWidget>

class QLabel;

namespace app {

// The window that shows the progress of the start-up loading: borderless, centred on the
// screen, visible only while the loading runs.
class TSplashForm : public QWidget {
    Q_OBJECT

public:
    explicit TSplashForm(QWidget* parent = nullptr);

    QLabel* Label1;  // the product title
    QLabel* Label3;  // the progress line

protected:
    void showEvent(QShowEvent* event) override;
};

}  // namespace app
