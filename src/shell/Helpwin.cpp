#include "Helpwin.h"

#include "storage/AppPaths.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHelpContentModel>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpIndexWidget>
#include <QHelpLink>
#include <QHelpSearchEngine>
#include <QHelpSearchQueryWidget>
#include <QHelpSearchResultWidget>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QSplitter>
#include <QStandardPaths>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWindow>

#include <map>

namespace {

// Topic numbers of the Help buttons and Help menu items, and their pages.
const std::map<int, const char *> kTopicPages = {
    {911, "faq.html"},                // Help > Frequently Asked Questions
    {1015, "support.html"},           // Help > Technical Support
    {1019, "printing.html"},          // Labels Print
    {1048, "templates.html"},         // Select Template
    {1050, "user-layout.html"},       // User Defined Label Layout
    {1073, "main-window.html"},       // the main window's Help button
    {1074, "preview.html"},           // the preview window
    {1092, "fine-tuning.html"},       // Printer Fine-Tuning
    {40001, "multiline-text.html"},   // Multi-line Text Editor
    {40003, "clip-art.html"},         // Load Image File
    {40004, "text.html"},             // Text
    {40005, "symbol.html"},           // Symbol Selector
    {40006, "counter.html"},          // Counter
    {40008, "text-3d.html"},          // Text 3D Effects
    {40011, "supershape.html"},       // Super Shape Properties
    {40012, "textures.html"},         // Load Texture Image
    {40013, "rich-text.html"},        // Rich Text Editor
    {40014, "supertext.html"},        // SuperText Properties
    {40017, "circle-text.html"},      // CircleText Properties
    {40020, "barcode.html"},          // Barcode Properties
};

const char kContentsPage[] = "index.html";

QPointer<TQMHelpWindow> gInstance;

}  // namespace

QString HelpTopicPage(int topic)
{
    const auto it = kTopicPages.find(topic);
    return it == kTopicPages.end() ? QString() : QString::fromLatin1(it->second);
}

QList<int> HelpTopics()
{
    QList<int> topics;
    for (const auto &entry : kTopicPages)
        topics << entry.first;
    return topics;
}

THelpBrowser::THelpBrowser(QHelpEngine *engine, QWidget *parent)
    : QTextBrowser(parent)
    , mEngine(engine)
{
    setOpenLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl &url) {
        if (url.scheme() == QLatin1String("qthelp") || url.isRelative())
            setSource(source().resolved(url));
        else
            QDesktopServices::openUrl(url);
    });
}

QVariant THelpBrowser::loadResource(int type, const QUrl &name)
{
    if (name.scheme() == QLatin1String("qthelp"))
        return mEngine->fileData(name);
    return QTextBrowser::loadResource(type, name);
}

TQMHelpWindow::TQMHelpWindow(const QString &helpFile, const QString &collectionFile, QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Quillmark Help"));
    setWindowIcon(QIcon(QStringLiteral(":/shell/quillmark.svg")));
    resize(900, 640);

    // The engine writes to its collection (registrations, the search
    // index), so it works on a copy the user owns; the help file itself is
    // only read.
    QDir().mkpath(QFileInfo(collectionFile).absolutePath());
    QFile::remove(collectionFile);
    const QString shipped = QFileInfo(helpFile).absolutePath() + QStringLiteral("/quillmark.qhc");
    if (QFileInfo::exists(shipped))
        QFile::copy(shipped, collectionFile);
    QFile(collectionFile).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);

    mEngine = new QHelpEngine(collectionFile, this);
    mEngine->setUsesFilterEngine(true);
    if (!QFileInfo(helpFile).isFile()) {
        mError = QStringLiteral("The help file %1 is missing.").arg(QDir::toNativeSeparators(helpFile));
    } else if (!mEngine->setupData()) {
        mError = mEngine->error();
    } else {
        mNamespace = QHelpEngineCore::namespaceName(helpFile);
        const QString absolute = QFileInfo(helpFile).absoluteFilePath();
        if (!mNamespace.isEmpty()
            && QFileInfo(mEngine->documentationFileName(mNamespace)).absoluteFilePath() != absolute) {
            mEngine->unregisterDocumentation(mNamespace);
            if (!mEngine->registerDocumentation(absolute))
                mError = mEngine->error();
        }
        if (mNamespace.isEmpty())
            mError = QStringLiteral("%1 is not a help file.").arg(QDir::toNativeSeparators(helpFile));
        mValid = mError.isEmpty();
    }

    mBrowser = new THelpBrowser(mEngine, this);
    mBrowser->setObjectName(QStringLiteral("HelpBrowser"));
    mBrowser->setAccessibleName(QStringLiteral("Help page"));
    // The contents tree follows the page shown.
    auto follow = [this](const QUrl &url) {
        const QModelIndex index = mEngine->contentWidget()->indexOf(url);
        if (index.isValid()) {
            // scrollTo() also opens the chapters above the page.
            mEngine->contentWidget()->scrollTo(index);
            mEngine->contentWidget()->setCurrentIndex(index);
        }
    };
    // The signal's address is the new page's; source() may still be the old one.
    connect(mBrowser, &QTextBrowser::sourceChanged, this, [this, follow](const QUrl &url) {
        setWindowTitle(CurrentTitle() + QStringLiteral(" - Quillmark Help"));
        follow(url);
    });
    // The tree is filled in the background; a page shown before it is done
    // is marked once it is.
    connect(mEngine->contentModel(), &QHelpContentModel::contentsCreated, this,
            [this, follow] { follow(mBrowser->source()); });

    mTabs = new QTabWidget(this);
    mTabs->setObjectName(QStringLiteral("HelpTabs"));

    QHelpContentWidget *contents = mEngine->contentWidget();
    contents->setObjectName(QStringLiteral("HelpContents"));
    contents->setAccessibleName(QStringLiteral("Contents"));
    connect(contents, &QHelpContentWidget::linkActivated, mBrowser,
            [this](const QUrl &url) { mBrowser->setSource(url); });
    mTabs->addTab(contents, QStringLiteral("Contents"));

    auto *indexPage = new QWidget;
    auto *indexLayout = new QVBoxLayout(indexPage);
    mIndexFilter = new QLineEdit;
    mIndexFilter->setObjectName(QStringLiteral("HelpIndexFilter"));
    mIndexFilter->setPlaceholderText(QStringLiteral("Type a word to look for"));
    QHelpIndexWidget *index = mEngine->indexWidget();
    index->setObjectName(QStringLiteral("HelpIndex"));
    index->setAccessibleName(QStringLiteral("Index"));
    connect(mIndexFilter, &QLineEdit::textChanged, index,
            [index](const QString &text) { index->filterIndices(text); });
    connect(mIndexFilter, &QLineEdit::returnPressed, index, &QHelpIndexWidget::activateCurrentItem);
    connect(index, &QHelpIndexWidget::documentActivated, this,
            [this](const QHelpLink &link) { mBrowser->setSource(link.url); });
    connect(index, &QHelpIndexWidget::documentsActivated, this,
            [this](const QList<QHelpLink> &links) {
                if (!links.isEmpty())
                    mBrowser->setSource(links.constFirst().url);
            });
    indexLayout->addWidget(new QLabel(QStringLiteral("&Look for:")));
    indexLayout->addWidget(mIndexFilter);
    indexLayout->addWidget(index);
    static_cast<QLabel *>(indexLayout->itemAt(0)->widget())->setBuddy(mIndexFilter);
    mTabs->addTab(indexPage, QStringLiteral("Index"));

    auto *searchPage = new QWidget;
    auto *searchLayout = new QVBoxLayout(searchPage);
    QHelpSearchEngine *searchEngine = mEngine->searchEngine();
    searchEngine->queryWidget()->setObjectName(QStringLiteral("HelpSearchQuery"));
    searchEngine->resultWidget()->setObjectName(QStringLiteral("HelpSearchResults"));
    searchLayout->addWidget(searchEngine->queryWidget());
    searchLayout->addWidget(searchEngine->resultWidget(), 1);
    connect(searchEngine->queryWidget(), &QHelpSearchQueryWidget::search, this, &TQMHelpWindow::search);
    connect(searchEngine->resultWidget(), &QHelpSearchResultWidget::requestShowLink, mBrowser,
            [this](const QUrl &url) { mBrowser->setSource(url); });
    mTabs->addTab(searchPage, QStringLiteral("Search"));
    if (mValid)
        searchEngine->reindexDocumentation();

    auto *splitter = new QSplitter(this);
    splitter->addWidget(mTabs);
    splitter->addWidget(mBrowser);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({260, 640});
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(splitter);

    if (!mValid)
        mBrowser->setPlainText(mError);
}

TQMHelpWindow::~TQMHelpWindow() = default;

QString TQMHelpWindow::DefaultHelpFile()
{
    return AppPaths::DataFilePath(QStringLiteral("help/quillmark.qch"));
}

TQMHelpWindow *TQMHelpWindow::Instance()
{
    if (!gInstance) {
        QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
        if (cache.isEmpty())
            cache = AppPaths::ProgramDir();
        gInstance = new TQMHelpWindow(DefaultHelpFile(), cache + QStringLiteral("/help/quillmark.qhc"));
        gInstance->setAttribute(Qt::WA_DeleteOnClose, false);
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, gInstance.data(), &QObject::deleteLater);
    }
    return gInstance;
}

void TQMHelpWindow::DestroyInstance()
{
    delete gInstance.data();
}

void TQMHelpWindow::ShowHelp(QWidget *, int topic)
{
    Instance()->ShowTopic(topic);
}

void TQMHelpWindow::ShowTopic(int topic)
{
    const QString page = HelpTopicPage(topic);
    ShowPage(page.isEmpty() ? QString::fromLatin1(kContentsPage) : page);
    present();
}

void TQMHelpWindow::ShowContents()
{
    ShowPage(QString::fromLatin1(kContentsPage));
    mTabs->setCurrentIndex(0);
    present();
}

void TQMHelpWindow::ShowPage(const QString &page)
{
    if (!mValid)
        return;
    mBrowser->setSource(QUrl(QStringLiteral("qthelp://%1/doc/%2").arg(mNamespace, page)));
}

QString TQMHelpWindow::CurrentTitle() const
{
    return mBrowser->documentTitle();
}

QUrl TQMHelpWindow::CurrentUrl() const
{
    return mBrowser->source();
}

void TQMHelpWindow::present()
{
    // A modal dialog blocks every window that is not its own; the help
    // window becomes the dialog's transient so that both stay usable.
    QWidget *modal = QApplication::activeModalWidget();
    QWindow *ownerWindow = modal ? modal->windowHandle() : nullptr;
    winId();
    if (windowHandle() && windowHandle()->transientParent() != ownerWindow) {
        const bool wasVisible = isVisible();
        if (wasVisible)
            hide();
        windowHandle()->setTransientParent(ownerWindow);
    }
    show();
    raise();
    activateWindow();
}

void TQMHelpWindow::search()
{
    QHelpSearchEngine *engine = mEngine->searchEngine();
    engine->search(engine->queryWidget()->searchInput());
}
