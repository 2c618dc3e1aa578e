#pragma once

#include <QDateTime>
#include <QString>
#include <QUrl>
#include <QVariant>
#include <QWidget>
#include <memory>

class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;
class QToolButton;
class QTreeWidget;

namespace gui {

class ChmFile;

// The help window: the contents and the index of the help file beside the page, with back,
// forward and a button for the first page. One window serves the whole program; it belongs
// to no dialog, so it stays when the dialog that asked for it closes. A missing help file or
// page is reported in the window itself, in Russian.
class THelpForm : public QWidget {
    Q_OBJECT

public:
    THelpForm();
    ~THelpForm() override;

    // Opens `helpFile` at `topic` ("::\page.htm"; empty: the file's default page) and brings
    // the window to the front. The file is read again when it has changed since the last
    // request, so a help file copied in while the program runs is found.
    void showTopic(const QString& helpFile, const QString& topic);

    QToolButton* BackButton;
    QToolButton* ForwardButton;
    QToolButton* HomeButton;
    QTabWidget* Tabs;
    QTreeWidget* Contents;
    QLineEdit* IndexFilter;
    QListWidget* Index;
    QTextBrowser* Page;

private:
    struct FileStamp {
        QString path;
        QDateTime modified;
        qint64 size = -1;
        bool operator==(const FileStamp&) const = default;
    };

    void createControls();
    void connectControls();
    bool openIfChanged(const QString& helpFile);
    void fillContents();
    void fillIndex();
    QUrl defaultPage() const;
    void openPage(const QUrl& page);
    void openLink(const QUrl& link);
    void selectContentsOf(const QUrl& page);
    void filterIndex(const QString& text);
    void openFirstIndexMatch();
    QVariant loadResource(int type, const QUrl& name) const;
    void bringToFront();

    std::unique_ptr<ChmFile> file_;
    FileStamp stamp_;
    // Why the file could not be opened (HTML), shown in place of every page.
    QString problem_;
};

}  // namespace gui
