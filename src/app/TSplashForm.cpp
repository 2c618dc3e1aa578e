#include "app/TSplashForm.h"

#include <QFrame>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

#include "app/Application.h"

namespace app {

TSplashForm::TSplashForm(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("SplashForm"));
    setFixedSize(460, 170);

    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::Box);
    frame->setLineWidth(1);

    Label1 = new QLabel(ProductTitle(), frame);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    QFont titleFont = Label1->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 2);
    titleFont.setBold(true);
    Label1->setFont(titleFont);

    Label3 = new QLabel(QStringLiteral("загрузка данных..."), frame);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setAlignment(Qt::AlignCenter);

    auto* inner = new QVBoxLayout(frame);
    inner->addStretch(2);
    inner->addWidget(Label1);
    inner->addStretch(1);
    inner->addWidget(Label3);
    inner->addStretch(1);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);
}

void TSplashForm::showEvent(QShowEvent* event) {
    if (const QScreen* desktop = screen()) {
        QRect placed = frameGeometry();
        placed.moveCenter(desktop->availableGeometry().center());
        move(placed.topLeft());
    }
    QWidget::showEvent(event);
}

}  // namespace app
