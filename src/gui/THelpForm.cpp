#include "gui/THelpForm.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QShortcut>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>
#include <functional>

#include "gui/ChmFile.h"
#include "gui/HelpContent.h"

namespace gui {

namespace {

constexpr int kPageRole = Qt::UserRole;
// A small manual is shown unfolded; a large one only to its first level.
constexpr int kUnfoldedContentsLimit = 100;

// The page view asks its window for every page, picture and style sheet.
class HelpPageView : public QTextBrowser {
public:
    using Loader = std::function<QVariant(int, const QUrl&)>;

    HelpPageView(QWidget* parent, Loader loader)
        : QTextBrowser(parent), loader_(std::move(loader)) {}

    QVariant loadResource(int type, const QUrl& name) override { return loader_(type, name); }

private:
    Loader loader_;
};

QString MessagePage(const QString& heading, const QString& body) {
    return QStringLiteral("<html><body><h2>%1</h2>%2</body></html>").arg(heading, body);
}

QString MissingFilePage(const QString& path) {
    return MessagePage(
        QStringLiteral("Справка недоступна"),
        QStringLiteral("<p>Файл справки не найден: «%1».</p>"
                       "<p>Справка читается из файла veltar_help.chm в папке, из которой "
                       "запущена программа. Положите файл справки в эту папку и откройте "
                       "справку снова.</p>")
            .arg(path.toHtmlEscaped()));
}

QString UnreadableFilePage(const QString& path) {
    return MessagePage(QStringLiteral("Справка недоступна"),
                       QStringLiteral("<p>Файл справки «%1» не удалось прочитать: он повреждён "
                                      "или не является файлом справки.</p>")
                           .arg(path.toHtmlEscaped()));
}

QString MissingPagePage(const QString& pagePath, const QString& filePath) {
    const QString page = pagePath.mid(1);
    const QString what = page.isEmpty() ? QStringLiteral("начальной страницы")
                                        : QStringLiteral("раздела «%1»").arg(page.toHtmlEscaped());
    return MessagePage(QStringLiteral("Раздел не найден"),
                       QStringLiteral("<p>В файле справки «%1» нет %2.</p>"
                                      "<p>Выберите раздел в содержании слева.</p>")
                           .arg(filePath.toHtmlEscaped(), what));
}

QTreeWidgetItem* ContentsItem(const HelpEntry& entry, const QUrl& base) {
    auto* item = new QTreeWidgetItem(QStringList(entry.name));
    item->setToolTip(0, entry.name);
    if (!entry.local.isEmpty()) {
        QString local = entry.local;
        local.replace(QLatin1Char('\\'), QLatin1Char('/'));
        if (const auto page = InternalHelpUrl(QUrl(local), base))
            item->setData(0, kPageRole, *page);
    }
    for (const HelpEntry& child : entry.children)
        item->addChild(ContentsItem(child, base));
    return item;
}

// Index entries nested under a keyword are listed as "keyword, sub-keyword".
void AddIndexEntries(QListWidget* list, const std::vector<HelpEntry>& entries,
                     const QString& parentName, const QUrl& base) {
    for (const HelpEntry& entry : entries) {
        const QString name =
            parentName.isEmpty() ? entry.name : parentName + QStringLiteral(", ") + entry.name;
        if (!entry.local.isEmpty()) {
            if (const auto page = InternalHelpUrl(QUrl(entry.local), base)) {
                auto* item = new QListWidgetItem(name, list);
                item->setData(kPageRole, *page);
            }
        }
        AddIndexEntries(list, entry.children, name, base);
    }
}

QUrl PageOfItem(const QVariant& data) {
    return data.toUrl();
}

bool SamePage(const QUrl& a, const QUrl& b) {
    return a.path().compare(b.path(), Qt::CaseInsensitive) == 0;
}

QToolButton* AddToolButton(QHBoxLayout* bar, const char* name, const QString& caption,
                           const QIcon& icon) {
    auto* button = new QToolButton;
    button->setObjectName(QLatin1String(name));
    button->setText(caption);
    button->setIcon(icon);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    bar->addWidget(button);
    return button;
}

}  // namespace

THelpForm::THelpForm() {
    setObjectName(QStringLiteral("HelpForm"));
    setWindowTitle(QStringLiteral("Справка"));
    createControls();
    connectControls();
    resize(1020, 700);
}

THelpForm::~THelpForm() = default;

void THelpForm::createControls() {
    auto* bar = new QHBoxLayout;
    BackButton = AddToolButton(bar, "BackButton", QStringLiteral("Назад"),
                               style()->standardIcon(QStyle::SP_ArrowBack));
    ForwardButton = AddToolButton(bar, "ForwardButton", QStringLiteral("Вперёд"),
                                  style()->standardIcon(QStyle::SP_ArrowForward));
    HomeButton = AddToolButton(bar, "HomeButton", QStringLiteral("В начало"),
                               style()->standardIcon(QStyle::SP_DirHomeIcon));
    bar->addStretch();
    BackButton->setEnabled(false);
    ForwardButton->setEnabled(false);

    Contents = new QTreeWidget;
    Contents->setObjectName(QStringLiteral("Contents"));
    Contents->setHeaderHidden(true);

    auto* indexPane = new QWidget;
    auto* indexLayout = new QVBoxLayout(indexPane);
    indexLayout->setContentsMargins(4, 4, 4, 4);
    indexLayout->addWidget(new QLabel(QStringLiteral("Ключевое слово:")));
    IndexFilter = new QLineEdit;
    IndexFilter->setObjectName(QStringLiteral("IndexFilter"));
    indexLayout->addWidget(IndexFilter);
    Index = new QListWidget;
    Index->setObjectName(QStringLiteral("Index"));
    indexLayout->addWidget(Index);

    Tabs = new QTabWidget;
    Tabs->setObjectName(QStringLiteral("Tabs"));
    Tabs->addTab(Contents, QStringLiteral("Содержание"));
    Tabs->addTab(indexPane, QStringLiteral("Указатель"));

    Page = new HelpPageView(
        this, [this](int type, const QUrl& name) { return loadResource(type, name); });
    Page->setObjectName(QStringLiteral("Page"));
    Page->setOpenLinks(false);

    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->addWidget(Tabs);
    splitter->addWidget(Page);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({320, 680});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(bar);
    layout->addWidget(splitter, 1);
}

void THelpForm::connectControls() {
    connect(BackButton, &QToolButton::clicked, Page, &QTextBrowser::backward);
    connect(ForwardButton, &QToolButton::clicked, Page, &QTextBrowser::forward);
    connect(HomeButton, &QToolButton::clicked, this, [this] { openPage(defaultPage()); });
    connect(Page, &QTextBrowser::backwardAvailable, BackButton, &QToolButton::setEnabled);
    connect(Page, &QTextBrowser::forwardAvailable, ForwardButton, &QToolButton::setEnabled);
    connect(Page, &QTextBrowser::anchorClicked, this, &THelpForm::openLink);
    connect(Page, &QTextBrowser::sourceChanged, this, &THelpForm::selectContentsOf);
    connect(new QShortcut(QKeySequence::Back, this), &QShortcut::activated, Page,
            &QTextBrowser::backward);
    connect(new QShortcut(QKeySequence::Forward, this), &QShortcut::activated, Page,
            &QTextBrowser::forward);

    const auto openItemPage = [this](QTreeWidgetItem* item) {
        if (const QUrl page = PageOfItem(item->data(0, kPageRole)); page.isValid())
            openPage(page);
    };
    connect(Contents, &QTreeWidget::itemClicked, this, openItemPage);
    connect(Contents, &QTreeWidget::itemActivated, this, openItemPage);
    connect(Index, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { openPage(PageOfItem(item->data(kPageRole))); });
    connect(IndexFilter, &QLineEdit::textChanged, this, &THelpForm::filterIndex);
    connect(IndexFilter, &QLineEdit::returnPressed, this, &THelpForm::openFirstIndexMatch);
}

void THelpForm::showTopic(const QString& helpFile, const QString& topic) {
    const bool reopened = openIfChanged(helpFile);
    openPage(topic.isEmpty() ? defaultPage() : HelpTopicUrl(topic));
    // The view keeps a page it already shows; after the file changed it must be read again.
    if (reopened)
        Page->reload();
    bringToFront();
}

bool THelpForm::openIfChanged(const QString& helpFile) {
    const QFileInfo info(helpFile);
    FileStamp stamp{info.absoluteFilePath(), info.lastModified(), info.exists() ? info.size() : -1};
    if (file_ && stamp == stamp_)
        return false;
    stamp_ = std::move(stamp);
    file_ = ChmFile::Open(stamp_.path);
    problem_.clear();
    if (!file_)
        problem_ = info.exists() ? UnreadableFilePage(stamp_.path) : MissingFilePage(stamp_.path);
    setWindowTitle(file_ && !file_->title().isEmpty() ? file_->title() : QStringLiteral("Справка"));
    fillContents();
    fillIndex();
    Page->clearHistory();
    return true;
}

void THelpForm::fillContents() {
    Contents->clear();
    if (!file_)
        return;
    const auto bytes = file_->read(file_->contentsPath());
    if (!bytes)
        return;
    const QUrl base = HelpPageUrl(file_->contentsPath());
    for (const HelpEntry& entry : ParseSitemap(*bytes))
        Contents->addTopLevelItem(ContentsItem(entry, base));
    int count = 0;
    for (QTreeWidgetItemIterator it(Contents); *it; ++it)
        ++count;
    if (count <= kUnfoldedContentsLimit)
        Contents->expandAll();
    else
        Contents->expandToDepth(0);
}

void THelpForm::fillIndex() {
    Index->clear();
    IndexFilter->clear();
    const auto bytes = file_ ? file_->read(file_->indexPath()) : std::nullopt;
    if (bytes)
        AddIndexEntries(Index, ParseSitemap(*bytes), QString(), HelpPageUrl(file_->indexPath()));
    Tabs->setTabVisible(1, Index->count() > 0);
}

QUrl THelpForm::defaultPage() const {
    if (file_ && !file_->defaultTopicPath().isEmpty())
        return HelpPageUrl(file_->defaultTopicPath());
    for (QTreeWidgetItemIterator it(Contents); *it; ++it) {
        if (const QUrl page = PageOfItem((*it)->data(0, kPageRole)); page.isValid())
            return page;
    }
    return HelpPageUrl(QStringLiteral("/"));
}

void THelpForm::openPage(const QUrl& page) {
    Page->setSource(page, QTextDocument::HtmlResource);
}

void THelpForm::openLink(const QUrl& link) {
    if (const auto page = InternalHelpUrl(link, Page->source())) {
        openPage(*page);
        return;
    }
    // A link to the web or to mail leaves the help file.
    QDesktopServices::openUrl(link);
}

void THelpForm::selectContentsOf(const QUrl& page) {
    for (QTreeWidgetItemIterator it(Contents); *it; ++it) {
        if (SamePage(PageOfItem((*it)->data(0, kPageRole)), page)) {
            Contents->setCurrentItem(*it);
            return;
        }
    }
    Contents->clearSelection();
}

void THelpForm::filterIndex(const QString& text) {
    for (int row = 0; row < Index->count(); ++row) {
        QListWidgetItem* item = Index->item(row);
        item->setHidden(!item->text().contains(text, Qt::CaseInsensitive));
    }
}

void THelpForm::openFirstIndexMatch() {
    for (int row = 0; row < Index->count(); ++row) {
        if (QListWidgetItem* item = Index->item(row); !item->isHidden()) {
            Index->setCurrentItem(item);
            openPage(PageOfItem(item->data(kPageRole)));
            return;
        }
    }
}

QVariant THelpForm::loadResource(int type, const QUrl& name) const {
    if (!file_)
        return type == QTextDocument::HtmlResource ? QVariant(problem_) : QVariant();
    const auto page = InternalHelpUrl(name, Page->source());
    if (!page)
        return {};
    const auto bytes = file_->read(page->path());
    switch (type) {
        case QTextDocument::HtmlResource:
            return bytes ? DecodeHelpText(*bytes) : MissingPagePage(page->path(), stamp_.path);
        case QTextDocument::StyleSheetResource:
            return bytes ? QVariant(DecodeHelpText(*bytes)) : QVariant();
        default:
            return bytes ? QVariant(*bytes) : QVariant();
    }
}

void THelpForm::bringToFront() {
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
}

}  // namespace gui
