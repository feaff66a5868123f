// The help window: every Help button and Help menu item reaches its page,
// the manual holds every page, and the index and search find them.

#include "controls/DialogSupport.h"
#include "layout/Edittpl.h"
#include "layout/Loadtpl.h"
#include "objects/Register.h"
#include "objects/graphic/Gbarprop.h"
#include "objects/text/Gf3d.h"
#include "objects/text/Ggetctr.h"
#include "objects/text/Ggetsym.h"
#include "objects/text/Ggettext.h"
#include "objects/text/Gmlted.h"
#include "objects/text/Gplabel.h"
#include "objects/text/Gprichle.h"
#include "objects/text/gpcirctprop.h"
#include "print/Prelpr.h"
#include "print/Printft.h"
#include "print/Prevue.h"
#include "shell/Helpwin.h"
#include "shell/Main.h"
#include "storage/AppPaths.h"

#include <QAction>
#include <QHelpContentModel>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpLink>
#include <QHelpSearchEngine>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

Q_DECLARE_METATYPE(std::function<QWidget *()>)

namespace {

QPushButton *helpButtonOf(QWidget *w)
{
    for (QPushButton *b : w->findChildren<QPushButton *>()) {
        if (b->text() == QLatin1String("Help") || b->text() == QLatin1String("&Help"))
            return b;
    }
    return nullptr;
}

}  // namespace

class TestHelp : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mProgramDir;
    std::unique_ptr<TQMMainScreen> mWindow;
    TQMHelpWindow *help() const { return TQMHelpWindow::Instance(); }

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("XDG_CACHE_HOME", mProgramDir.filePath(QStringLiteral("cache")).toLocal8Bit());
        AppPaths::SetProgramDirOverride(mProgramDir.path());
        RegisterLabelClasses();
        mWindow = std::make_unique<TQMMainScreen>();
        QVERIFY2(help()->IsValid(), qPrintable(help()->ErrorText()));
        // The contents tree is filled in the background.
        QTRY_VERIFY(help()->Engine()->contentModel()->rowCount() > 0);
    }
    void cleanupTestCase()
    {
        SetDialogRunner({});
        mWindow.reset();
        AppPaths::SetProgramDirOverride(QString());
    }

    void manualHoldsEveryPage()
    {
        QHelpEngine *engine = help()->Engine();
        const QString ns = QHelpEngineCore::namespaceName(TQMHelpWindow::DefaultHelpFile());
        const QList<QUrl> pages = engine->files(ns, QString(), QStringLiteral("html"));
        QCOMPARE(pages.size(), QM_HELP_PAGE_COUNT);
        // Every page has a title, and every topic's page is among them.
        QStringList names;
        for (const QUrl &url : pages) {
            names << url.fileName();
            help()->Browser()->setSource(url);
            QVERIFY2(!help()->CurrentTitle().isEmpty(), qPrintable(url.toString()));
        }
        for (int topic : HelpTopics())
            QVERIFY2(names.contains(HelpTopicPage(topic)), qPrintable(QString::number(topic)));
    }

    // Every link and picture of every page is in the help file.
    void noBrokenLinks()
    {
        QHelpEngine *engine = help()->Engine();
        const QString ns = QHelpEngineCore::namespaceName(TQMHelpWindow::DefaultHelpFile());
        static const QRegularExpression ref(QStringLiteral("(?:href|src)=\"([^\"#:]+)[\"#]"));
        int checked = 0;
        for (const QUrl &page : engine->files(ns, QString(), QStringLiteral("html"))) {
            const QString html = QString::fromUtf8(engine->fileData(page));
            for (const QRegularExpressionMatch &m : ref.globalMatch(html)) {
                const QUrl target = page.resolved(QUrl(m.captured(1)));
                QVERIFY2(!engine->fileData(target).isEmpty(),
                         qPrintable(page.fileName() + QStringLiteral(" -> ") + m.captured(1)));
                ++checked;
            }
        }
        QVERIFY(checked > 100);
    }

    void dialogHelpButtons_data()
    {
        QTest::addColumn<std::function<QWidget *()>>("make");
        QTest::addColumn<int>("topic");
        QTest::addColumn<QString>("title");
        using F = std::function<QWidget *()>;
        QTest::newRow("Text") << F([] { return new TGetLabelText; }) << 40004 << "Text Labels";
        QTest::newRow("Multi-line Text Editor") << F([] { return new TMultiLineTextEditor; }) << 40001
                                                << "Multi-line Text";
        QTest::newRow("Counter") << F([] { return new TGetCounter; }) << 40006 << "Counters";
        QTest::newRow("Symbol Selector") << F([] { return new TGetSymbol; }) << 40005 << "Symbols";
        QTest::newRow("Text 3D Effects") << F([] {
            auto *label = new TGPLabel;
            auto *d = new TGFont3DEffects(label);
            label->setParent(d);
            return d;
        }) << 40008 << "Text 3D Effects";
        QTest::newRow("CircleText Properties") << F([] { return new TCircleTextProperties; }) << 40017
                                               << "Circle Text";
        QTest::newRow("Barcode Properties") << F([] { return new TBarcodeProperties; }) << 40020 << "Barcodes";
        QTest::newRow("Rich Text Editor") << F([] { return new TRichTextLabelEditor; }) << 40013 << "Rich Text";
        QTest::newRow("Labels Print") << F([] { return new TLabelPrintPrep(nullptr, TPrinterList{}); }) << 1019
                                      << "Printing Labels";
        QTest::newRow("Printer Fine-Tuning") << F([] { return new TPrintFineTune(TPrinterNudges{}); }) << 1092
                                             << "Printer Fine Tuning";
        // The preview is only ever shown on recorded pages; its Help is clicked unshown.
        QTest::newRow("Label Preview") << F([] { return new TPreviewForm; }) << 1074 << "Print Preview";
    }
    void dialogHelpButtons()
    {
        QFETCH(std::function<QWidget *()>, make);
        QFETCH(int, topic);
        QFETCH(QString, title);
        std::unique_ptr<QWidget> dialog(make());
        const bool shown = !qobject_cast<TPreviewForm *>(dialog.get());
        if (shown)
            dialog->show();
        QPushButton *button = helpButtonOf(dialog.get());
        QVERIFY(button);
        help()->ShowPage(QStringLiteral("index.html"));
        button->click();
        QCOMPARE(help()->CurrentUrl().fileName(), HelpTopicPage(topic));
        QCOMPARE(help()->CurrentTitle(), title);
        // The contents tree follows the page.
        QCOMPARE(help()->Engine()->contentWidget()->currentIndex().data().toString(), title);
        QVERIFY(help()->isVisible());
        // The help window is beside the dialog, not instead of it.
        QCOMPARE(dialog->isVisible(), shown);
    }

    // A modal dialog blocks other windows; the help it opened must not be.
    void usableBesideModalDialog()
    {
        TQMHelpWindow::DestroyInstance();
        TGetLabelText dialog;
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        helpButtonOf(&dialog)->click();
        QVERIFY(QTest::qWaitForWindowExposed(help()));
        help()->Tabs()->setCurrentIndex(0);
        QTabBar *bar = help()->Tabs()->tabBar();
        // Through the window system, where a blocked window drops the click.
        QTest::mouseClick(help()->windowHandle(), Qt::LeftButton, {},
                          bar->mapTo(help(), bar->tabRect(2).center()));
        QCOMPARE(help()->Tabs()->currentIndex(), 2);
        dialog.close();
    }

    // The two layout dialogs tell the main window, which opens the help.
    void layoutDialogHelp_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("title");
        QTest::newRow("Select Template") << "mnuNewFromTemplate" << "Choosing a Template";
        QTest::newRow("User Defined Label Layout") << "mnuNewUserDefined" << "User Defined Label Layouts";
    }
    void layoutDialogHelp()
    {
        QFETCH(QString, action);
        QFETCH(QString, title);
        help()->ShowPage(QStringLiteral("index.html"));
        bool clicked = false;
        bool stillOpen = false;
        SetDialogRunner([&](QDialog &d) {
            d.show();
            if (QPushButton *b = helpButtonOf(&d)) {
                b->click();
                clicked = true;
                stillOpen = d.isVisible();
            }
            return int(QDialog::Rejected);
        });
        mWindow->findChild<QAction *>(action)->trigger();
        SetDialogRunner({});
        QVERIFY(clicked);
        QVERIFY(stillOpen);
        QCOMPARE(help()->CurrentTitle(), title);
    }

    void mainWindowHelp_data()
    {
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<QString>("title");
        QTest::newRow("Help button") << "HelpButton" << "The Main Window";
        QTest::newRow("Contents") << "mnuContents" << "Quillmark Help";
        QTest::newRow("Frequently Asked Questions") << "mnuFAQ" << "Frequently Asked Questions";
        QTest::newRow("Technical Support") << "mnuTechSupport" << "Technical Support";
    }
    void mainWindowHelp()
    {
        QFETCH(QString, trigger);
        QFETCH(QString, title);
        help()->ShowPage(QStringLiteral("faq.html"));
        help()->Tabs()->setCurrentIndex(2);
        if (auto *button = mWindow->findChild<QPushButton *>(trigger))
            button->click();
        else
            mWindow->findChild<QAction *>(trigger)->trigger();
        QCOMPARE(help()->CurrentTitle(), title);
        if (trigger == QLatin1String("mnuContents"))
            QCOMPARE(help()->Tabs()->currentIndex(), 0);
    }

    // Dialogs that are not part of every build reach their pages through
    // the same handler.
    void topicsWithoutDialogHere_data()
    {
        QTest::addColumn<int>("topic");
        QTest::addColumn<QString>("title");
        QTest::newRow("Load Image File") << 40003 << "Clip Art Pictures";
        QTest::newRow("Super Shape Properties") << 40011 << "SuperShapes";
        QTest::newRow("Load Texture Image") << 40012 << "Loading a Texture";
        QTest::newRow("SuperText Properties") << 40014 << "SuperText";
        QTest::newRow("unknown topic") << 12345 << "Quillmark Help";
    }
    void topicsWithoutDialogHere()
    {
        QFETCH(int, topic);
        QFETCH(QString, title);
        help()->ShowPage(QStringLiteral("faq.html"));
        ShowHelpTopic(nullptr, topic);
        QCOMPARE(help()->CurrentTitle(), title);
    }

    void webItemsHiddenWithoutAddress()
    {
        const std::pair<const char *, const char *> items[] = {{"mnuWebsite", QM_WEBSITE_URL},
                                                              {"mnuBonusArt", QM_BONUS_ART_URL}};
        for (const auto &[name, address] : items) {
            QAction *a = mWindow->findChild<QAction *>(QLatin1String(name));
            QVERIFY(a);
            QCOMPARE(a->isVisible(), *address != 0);
        }
    }

    void contentsIndexAndSearch()
    {
        QHelpEngine *engine = help()->Engine();
        // The contents tree: the manual's root and its chapters.
        QTRY_VERIFY(engine->contentModel()->rowCount() > 0);
        // Every page stands in the contents once.
        std::function<int(const QModelIndex &)> count = [&](const QModelIndex &parent) {
            int n = 0;
            for (int row = 0; row < engine->contentModel()->rowCount(parent); ++row)
                n += 1 + count(engine->contentModel()->index(row, 0, parent));
            return n;
        };
        QCOMPARE(count(QModelIndex()), QM_HELP_PAGE_COUNT);

        // The index finds a keyword's page.
        const QList<QHelpLink> links = engine->documentsForKeyword(QStringLiteral("leading zeros"));
        QCOMPARE(links.size(), 1);
        QCOMPARE(links.constFirst().url.fileName(), QStringLiteral("counter.html"));

        // Full-text search finds a word that only the body of a page has.
        QHelpSearchEngine *search = engine->searchEngine();
        QSignalSpy indexed(search, &QHelpSearchEngine::indexingFinished);
        search->reindexDocumentation();
        QVERIFY(indexed.wait(20000));
        QSignalSpy searched(search, &QHelpSearchEngine::searchingFinished);
        search->search(QStringLiteral("creeps"));
        QVERIFY(searched.wait(10000));
        QVERIFY(search->searchResultCount() >= 1);
        bool found = false;
        for (const QHelpSearchResult &r : search->searchResults(0, search->searchResultCount()))
            found = found || r.url().fileName() == QLatin1String("fine-tuning.html");
        QVERIFY(found);
    }
};

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
