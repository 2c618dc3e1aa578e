#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace output {

// The small window that shows how far a run of the application forms has got: no border,
// centred on the screen, shown only during a run. While it is shown the other windows take no
// input; its "Остановить" button (or Esc) asks the run to stop after the current citizen.
class TDocumentsFillStatusForm : public QDialog {
    Q_OBJECT

public:
    explicit TDocumentsFillStatusForm(QWidget* parent = nullptr);

    QLabel* TitleLabel;  // "Процесс заполнения заявлений"
    QLabel* StepLabel;   // "ход процесса:"
    QLabel* Label2;      // what the run does now
    QProgressBar* ProgressBar1;
    QPushButton* StopButton;  // "Остановить"

    // Shows the window for a run of `count` citizens, preparing its templates.
    void Begin(int count);
    // The citizen `index` (from 0) of `count` is being filled: "index\count".
    void ShowCitizen(int index, int count);
    // Hides the window at the end of the run.
    void Finish();

    // Whether the user asked the run to stop.
    bool StopRequested() const { return stopRequested_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void requestStop();
    void paintNow();

    bool stopRequested_ = false;
};

}  // namespace output
