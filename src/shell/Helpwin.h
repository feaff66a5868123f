#pragma once
// TQMHelpWindow: the program's manual in a window of its own: contents,
// index and full-text search beside the page. It is not modal, so a dialog
// whose Help button opened it stays open and usable.

#include <QPointer>
#include <QString>
#include <QTextBrowser>
#include <QWidget>

class QHelpEngine;
class QLineEdit;
class QTabWidget;

// The manual's page for a help topic number; empty for an unknown topic.
// The one table of topics lives in Helpwin.cpp.
QString HelpTopicPage(int topic);
// Every topic the table knows, in ascending order.
QList<int> HelpTopics();

// Shows qthelp:// pages out of the help engine, and opens other links
// (web addresses) in the desktop's browser.
class THelpBrowser : public QTextBrowser
{
    Q_OBJECT
public:
    explicit THelpBrowser(QHelpEngine *engine, QWidget *parent = nullptr);
    QVariant loadResource(int type, const QUrl &name) override;

private:
    QHelpEngine *mEngine;
};

class TQMHelpWindow : public QWidget
{
    Q_OBJECT
public:
    // The compressed help file and the collection file the engine keeps
    // (a writable copy under the user's cache folder).
    explicit TQMHelpWindow(const QString &helpFile, const QString &collectionFile,
                           QWidget *parent = nullptr);
    ~TQMHelpWindow() override;

    // The one window the program shows; created on first use from the help
    // file found among the program's data.
    static TQMHelpWindow *Instance();
    // The handler SetHelpHandler() takes: shows the topic's page.
    static void ShowHelp(QWidget *parent, int topic);
    // Ends the one window (at exit, or between tests).
    static void DestroyInstance();

    // False when the help file could not be read; ErrorText() says why.
    bool IsValid() const { return mValid; }
    QString ErrorText() const { return mError; }

    // An unknown topic shows the contents page.
    void ShowTopic(int topic);
    void ShowContents();
    void ShowPage(const QString &page);

    QString CurrentTitle() const;
    QUrl CurrentUrl() const;
    QHelpEngine *Engine() const { return mEngine; }
    QTabWidget *Tabs() const { return mTabs; }
    THelpBrowser *Browser() const { return mBrowser; }

    // The help file beside the program or among its installed data.
    static QString DefaultHelpFile();

private:
    void present();
    void search();

    QHelpEngine *mEngine = nullptr;
    QTabWidget *mTabs = nullptr;
    THelpBrowser *mBrowser = nullptr;
    QLineEdit *mIndexFilter = nullptr;
    QString mNamespace;
    QString mError;
    bool mValid = false;
};
