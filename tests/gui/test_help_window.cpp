#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QDialog>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStringEncoder>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <memory>

#include "gui/HelpTopics.h"
#include "gui/MessageBoxes.h"
#include "gui/THelpForm.h"
#include "support/TestFolder.h"

using gui::THelpForm;

namespace {

THelpForm* HelpForm() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == QLatin1String("HelpForm"))
            return qobject_cast<THelpForm*>(window);
    }
    return nullptr;
}

int HelpWindowCount() {
    int count = 0;
    for (QWidget* window : QApplication::topLevelWidgets())
        count += window->objectName() == QLatin1String("HelpForm") ? 1 : 0;
    return count;
}

QByteArray Cp1251(const QString& text) {
    QStringEncoder encoder("windows-1251");
    return encoder.encode(text);
}

QByteArray RedSquarePng() {
    QImage image(24, 24, QImage::Format_RGB32);
    image.fill(Qt::red);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return buffer.data();
}

// A dialog with an edit and a "?" button, as the program's dialogs offer help.
struct HelpDialog {
    QDialog dialog;
    QLineEdit* edit = new QLineEdit(&dialog);
    QPushButton* button = new QPushButton(QStringLiteral("?"), &dialog);

    HelpDialog() {
        auto* layout = new QVBoxLayout(&dialog);
        layout->addWidget(edit);
        layout->addWidget(button);
    }
};

void Activate(QWidget& window) {
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

// Clicks the link whose text is `caption`, as the user does.
void ClickLink(QTextBrowser* page, const QString& caption) {
    const QTextCursor found = page->document()->find(caption);
    ASSERT_FALSE(found.isNull()) << caption.toStdString();
    QTextCursor inside(page->document());
    inside.setPosition(found.selectionStart() + 1);
    page->setTextCursor(inside);
    page->ensureCursorVisible();
    QTest::mouseClick(page->viewport(), Qt::LeftButton, {}, page->cursorRect(inside).center());
}

// Whether a window is blocked by a modal dialog, as the toolkit announces it.
class BlockedWatch : public QObject {
public:
    bool blocked = false;

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::WindowBlocked)
            blocked = true;
        else if (event->type() == QEvent::WindowUnblocked)
            blocked = false;
        return false;
    }
};

QTreeWidgetItem* ContentsItem(QTreeWidget* contents, const QString& caption) {
    const auto found = contents->findItems(caption, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.front();
}

class HelpWindowTest : public ::testing::Test {
protected:
    TestFolder folder;

    void TearDown() override {
        if (THelpForm* form = HelpForm())
            form->hide();
    }

    void copyManual() const {
        QFile::remove(folder.file(QStringLiteral("veltar_help.chm")));
        ASSERT_TRUE(QFile::copy(QStringLiteral(VELTAR_BINARY_DIR "/veltar_help.chm"),
                                folder.file(QStringLiteral("veltar_help.chm"))));
    }

    // A help file as the earlier program's users have it: pages, contents and title in
    // windows-1251, a picture and a link.
    void buildOldHelpFile() const {
        folder.write(QStringLiteral("old/old.hhp"),
                     "[OPTIONS]\nCompiled file=veltar_help.chm\nContents file=toc.hhc\n"
                     "Default topic=start.htm\nLanguage=0x419 Russian\nTitle=" +
                         Cp1251(QStringLiteral("Старая справка")) +
                         "\n\n[FILES]\nstart.htm\nsecond.htm\npics/red.png\n");
        folder.write(QStringLiteral("old/toc.hhc"),
                     "<ul><li><object type=\"text/sitemap\"><param name=\"Name\" value=\"" +
                         Cp1251(QStringLiteral("Первая страница")) +
                         "\"><param name=\"Local\" value=\"start.htm\"></object>"
                         "<li><object type=\"text/sitemap\"><param name=\"Name\" value=\"" +
                         Cp1251(QStringLiteral("Вторая страница")) +
                         "\"><param name=\"Local\" value=\"second.htm\"></object></ul>");
        folder.write(QStringLiteral("old/start.htm"),
                     "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
                     "charset=windows-1251\"></head><body><p><img src=\"pics/red.png\"></p><p>" +
                         Cp1251(QStringLiteral("Проверка кодировки")) +
                         "</p><p><a href=\"second.htm\">" + Cp1251(QStringLiteral("Дальше")) +
                         "</a></p></body></html>");
        folder.write(QStringLiteral("old/second.htm"),
                     "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
                     "charset=windows-1251\"></head><body><p>" +
                         Cp1251(QStringLiteral("Вторая страница")) + "</p></body></html>");
        folder.write(QStringLiteral("old/pics/red.png"), RedSquarePng());
        QProcess compiler;
        compiler.setWorkingDirectory(folder.path());
        compiler.start(QStringLiteral(VELTAR_CHMCMD), {folder.file(QStringLiteral("old/old.hhp"))});
        ASSERT_TRUE(compiler.waitForFinished(30000));
        ASSERT_EQ(compiler.exitCode(), 0) << compiler.readAll().toStdString();
    }

    THelpForm& show(const QString& topic) {
        gui::ShowHelpTopic(folder.path(), topic);
        THelpForm* form = HelpForm();
        EXPECT_NE(form, nullptr);
        return *form;
    }

    static QString pagePath() { return HelpForm()->Page->source().path(); }
    static QString pageText() { return HelpForm()->Page->toPlainText(); }
};

}  // namespace

TEST_F(HelpWindowTest, OpensTheTopicOfTheBuiltFileBesideItsContents) {
    copyManual();
    THelpForm& form = show(QStringLiteral("::\\fc_search.htm"));
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(pagePath(), "/fc_search.htm");
    EXPECT_TRUE(pageText().startsWith(QStringLiteral("Поиск иностранного гражданина")));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Вельтар Ортис — справка"));
    ASSERT_GT(form.Contents->topLevelItemCount(), 5);
    ASSERT_NE(form.Contents->currentItem(), nullptr);
    EXPECT_EQ(form.Contents->currentItem()->text(0),
              QStringLiteral("Поиск иностранного гражданина"));

    show(QString());
    EXPECT_EQ(pagePath(), "/about.htm");
}

TEST_F(HelpWindowTest, LinksContentsIndexBackAndForward) {
    copyManual();
    THelpForm& form = show(QStringLiteral("::\\about.htm"));
    EXPECT_FALSE(form.BackButton->isEnabled());

    ClickLink(form.Page, QStringLiteral("Первоначальная настройка"));
    EXPECT_EQ(pagePath(), "/work_setup.htm");

    QTreeWidgetItem* region = ContentsItem(form.Contents, QStringLiteral("Выбор региона"));
    ASSERT_NE(region, nullptr);
    QTest::mouseClick(form.Contents->viewport(), Qt::LeftButton, {},
                      form.Contents->visualItemRect(region).center());
    EXPECT_EQ(pagePath(), "/region_selection.htm");

    QTest::mouseClick(form.BackButton, Qt::LeftButton);
    EXPECT_EQ(pagePath(), "/work_setup.htm");
    QTest::mouseClick(form.BackButton, Qt::LeftButton);
    EXPECT_EQ(pagePath(), "/about.htm");
    EXPECT_FALSE(form.BackButton->isEnabled());
    ASSERT_TRUE(form.ForwardButton->isEnabled());
    QTest::mouseClick(form.ForwardButton, Qt::LeftButton);
    EXPECT_EQ(pagePath(), "/work_setup.htm");

    form.IndexFilter->setText(QStringLiteral("сканер"));
    QTest::keyClick(form.IndexFilter, Qt::Key_Return);
    EXPECT_EQ(pagePath(), "/photo_adding.htm");
}

TEST_F(HelpWindowTest, OldHelpFileInWindows1251ShowsItsTextPicturesAndContents) {
    buildOldHelpFile();
    THelpForm& form = show(QString());
    EXPECT_EQ(pagePath(), "/start.htm");
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Старая справка"));
    EXPECT_TRUE(pageText().contains(QStringLiteral("Проверка кодировки")));
    ASSERT_EQ(form.Contents->topLevelItemCount(), 2);
    EXPECT_EQ(form.Contents->topLevelItem(1)->text(0), QStringLiteral("Вторая страница"));

    // The picture inside the file is drawn on the page.
    const QImage shot = form.Page->viewport()->grab().toImage();
    int red = 0;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x)
            red += shot.pixel(x, y) == qRgb(255, 0, 0) ? 1 : 0;
    }
    EXPECT_GT(red, 100);

    ClickLink(form.Page, QStringLiteral("Дальше"));
    EXPECT_EQ(pagePath(), "/second.htm");
    EXPECT_TRUE(pageText().contains(QStringLiteral("Вторая страница")));
}

TEST_F(HelpWindowTest, MissingTopicIsReportedBesideTheContents) {
    copyManual();
    THelpForm& form = show(QStringLiteral("::\\no_such_page.htm"));
    EXPECT_TRUE(
        pageText().contains(QStringLiteral("В файле справки «%1» нет раздела «no_such_page.htm».")
                                .arg(folder.file(QStringLiteral("veltar_help.chm")))))
        << pageText().toStdString();
    EXPECT_GT(form.Contents->topLevelItemCount(), 5);
}

TEST_F(HelpWindowTest, MissingOrDamagedFileIsReportedAndTheDialogGoesOn) {
    HelpDialog asking;
    gui::InstallHelp(&asking.dialog, asking.button, folder.path(),
                     QStringLiteral("::\\fc_search.htm"));
    asking.dialog.show();
    const QString helpFile = folder.file(QStringLiteral("veltar_help.chm"));

    QTest::mouseClick(asking.button, Qt::LeftButton);
    EXPECT_TRUE(pageText().contains(QStringLiteral("Файл справки не найден: «%1».").arg(helpFile)))
        << pageText().toStdString();
    EXPECT_EQ(HelpForm()->Contents->topLevelItemCount(), 0);

    folder.write(QStringLiteral("veltar_help.chm"), "not a help file");
    QTest::mouseClick(asking.button, Qt::LeftButton);
    EXPECT_TRUE(pageText().contains(
        QStringLiteral("Файл справки «%1» не удалось прочитать: он повреждён или не является "
                       "файлом справки.")
            .arg(helpFile)))
        << pageText().toStdString();

    EXPECT_TRUE(asking.dialog.isVisible());
    EXPECT_TRUE(gui::MessageBoxes::takeShown().isEmpty());

    // A help file put in place while the program runs is found at the next request.
    copyManual();
    QTest::mouseClick(asking.button, Qt::LeftButton);
    EXPECT_EQ(pagePath(), "/fc_search.htm");
    EXPECT_TRUE(pageText().startsWith(QStringLiteral("Поиск иностранного гражданина")));
}

TEST_F(HelpWindowTest, OneHelpWindowThatOutlivesTheDialogThatAsked) {
    copyManual();
    auto first = std::make_unique<HelpDialog>();
    gui::InstallHelp(&first->dialog, first->button, folder.path(),
                     QStringLiteral("::\\rnp_adding.htm"));
    HelpDialog second;
    gui::InstallHelp(&second.dialog, second.button, folder.path(),
                     QStringLiteral("::\\rnp_search.htm"));
    first->dialog.show();
    second.dialog.show();

    QTest::mouseClick(first->button, Qt::LeftButton);
    THelpForm* form = HelpForm();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->parentWidget(), nullptr);
    EXPECT_EQ(pagePath(), "/rnp_adding.htm");

    first.reset();
    EXPECT_TRUE(form->isVisible());

    form->showMinimized();
    QTest::mouseClick(second.button, Qt::LeftButton);
    EXPECT_EQ(HelpForm(), form);
    EXPECT_EQ(HelpWindowCount(), 1);
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->isMinimized());
    EXPECT_EQ(pagePath(), "/rnp_search.htm");
}

TEST_F(HelpWindowTest, F1AnywhereInADialogOpensTheTopicOfItsState) {
    copyManual();
    HelpDialog citizen;
    bool visa = true;
    gui::InstallHelp(&citizen.dialog, citizen.button, folder.path(), [&visa] {
        return visa ? QStringLiteral("::\\fc_adding_with_visa.htm")
                    : QStringLiteral("::\\fc_adding_without_visa.htm");
    });

    Activate(citizen.dialog);
    citizen.edit->setFocus();
    QTest::keyClick(citizen.edit, Qt::Key_F1);
    ASSERT_NE(HelpForm(), nullptr);
    EXPECT_EQ(pagePath(), "/fc_adding_with_visa.htm");

    visa = false;
    Activate(citizen.dialog);
    QTest::keyClick(citizen.edit, Qt::Key_F1);
    EXPECT_EQ(pagePath(), "/fc_adding_without_visa.htm");
    // The key does not reach the edit.
    EXPECT_TRUE(citizen.edit->text().isEmpty());
}

TEST_F(HelpWindowTest, HelpFromAWindowModalDialogStaysUsable) {
    copyManual();
    THelpForm& form = show(QString());
    BlockedWatch watch;
    form.installEventFilter(&watch);
    form.hide();

    QWidget opener;
    opener.show();
    QDialog photo(&opener);
    photo.setWindowModality(Qt::WindowModal);
    auto* button = new QPushButton(QStringLiteral("?"), &photo);
    gui::ConnectHelpButton(button, folder.path(), QStringLiteral("::\\photo_adding.htm"));
    QTimer::singleShot(0, &photo, [&] {
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_TRUE(form.isVisible());
        EXPECT_FALSE(watch.blocked);
        photo.accept();
    });
    EXPECT_EQ(photo.exec(), QDialog::Accepted);
    EXPECT_EQ(pagePath(), "/photo_adding.htm");
    form.removeEventFilter(&watch);
}
