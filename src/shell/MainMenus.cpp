// The main window's menus, their captions, and the About box.
#include "Main.h"

#include "About.h"
#include "ConfigInfo.h"
#include "Helpwin.h"
#include "Prefs.h"
#include "UndoHistory.h"

#include "controls/DialogSupport.h"
#include "controls/Icons.h"
#include "storage/Gdiobj.h"

#include <QAction>
#include <QDesktopServices>
#include <QMenu>
#include <QMenuBar>
#include <QUrl>

namespace {

QAction *addItem(QMenu *menu, const QString &caption, const char *name, bool enabled = true,
                 const char *icon = nullptr)
{
    QAction *a = menu->addAction(caption);
    if (icon)
        a->setIcon(ProgramIcon(QLatin1String(icon)));
    a->setObjectName(QLatin1String(name));
    a->setEnabled(enabled);
    return a;
}

}  // namespace

void TQMMainScreen::buildMenus()
{
    QMenuBar *bar = menuBar();

    mFileMenu = bar->addMenu(QStringLiteral("&File"));
    mFileMenu->setObjectName(QStringLiteral("mnuFile"));
    QMenu *newMenu = mFileMenu->addMenu(QStringLiteral("&New"));
    newMenu->setObjectName(QStringLiteral("mnuNew"));
    newMenu->setIcon(ProgramIcon(QStringLiteral("new")));
    mnuNewFromTemplate = addItem(newMenu, QStringLiteral("From Template"), "mnuNewFromTemplate");
    mnuNewFromTemplate->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    mnuNewUserDefined = addItem(newMenu, QStringLiteral("User Defined Layout"), "mnuNewUserDefined");
    mnuOpen = addItem(mFileMenu, QStringLiteral("&Open"), "mnuOpen", true, "open");
    mnuOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuDelete = addItem(mFileMenu, QStringLiteral("&Delete"), "mnuDelete", true, "delete");
    mFileMenu->addSeparator();
    mnuSave = addItem(mFileMenu, QStringLiteral("Save"), "mnuSave", false, "save");
    mnuSave->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuSaveAs = addItem(mFileMenu, QStringLiteral("Save &As..."), "mnuSaveAs", true, "saveas");
    mnuSaveAs->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    mFileMenu->addSeparator();
    mnuPrint = addItem(mFileMenu, QStringLiteral("&Print or Preview"), "mnuPrint", false, "print");
    mnuPrint->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    mnuFineTuning = addItem(mFileMenu, QStringLiteral("Printer Fine &Tuning"), "mnuFineTuning", false, "finetune");
    mnuPrinterSetup = addItem(mFileMenu, QStringLiteral("Printer &Setup"), "mnuPrinterSetup", false, "printersetup");
    connect(mnuPrint, &QAction::triggered, this, &TQMMainScreen::mnuPrintClick);
    connect(mnuFineTuning, &QAction::triggered, this, &TQMMainScreen::mnuFineTuningClick);
    connect(mnuPrinterSetup, &QAction::triggered, this, &TQMMainScreen::mnuPrinterSetupClick);
    mnuMergeData = addItem(mFileMenu, QStringLiteral("Mail &Merge Data..."), "mnuMergeData", true, "merge");
    connect(mnuMergeData, &QAction::triggered, this, &TQMMainScreen::mnuMergeDataClick);
    mFileMenu->addSeparator();
    mnuExit = addItem(mFileMenu, QStringLiteral("E&xit"), "mnuExit", true, "exit");
    mnuExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    connect(mnuNewFromTemplate, &QAction::triggered, this, &TQMMainScreen::mnuNewFromTemplateClick);
    connect(mnuNewUserDefined, &QAction::triggered, this, &TQMMainScreen::mnuNewUserDefinedClick);
    connect(mnuOpen, &QAction::triggered, this, &TQMMainScreen::mnuOpenClick);
    connect(mnuDelete, &QAction::triggered, this, &TQMMainScreen::mnuDeleteClick);
    connect(mnuSave, &QAction::triggered, this, &TQMMainScreen::mnuSaveClick);
    connect(mnuSaveAs, &QAction::triggered, this, &TQMMainScreen::mnuSaveAsClick);
    connect(mnuExit, &QAction::triggered, this, &TQMMainScreen::mnuExitClick);

    QMenu *editMenu = bar->addMenu(QStringLiteral("&Edit"));
    editMenu->setObjectName(QStringLiteral("mnuEdit"));
    mnuUndo = addItem(editMenu, QStringLiteral("&Undo"), "mnuUndo", false, "undo");
    mnuUndo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    mnuRedo = addItem(editMenu, QStringLiteral("&Redo"), "mnuRedo", false, "redo");
    mnuRedo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    connect(mnuUndo, &QAction::triggered, this, &TQMMainScreen::mnuUndoClick);
    connect(mnuRedo, &QAction::triggered, this, &TQMMainScreen::mnuRedoClick);
    // The step of the command just finished is named before the menu shows.
    connect(editMenu, &QMenu::aboutToShow, this, [this] {
        mHistory->Commit();
        updateUndoItems();
    });
    editMenu->addSeparator();
    mnuDefaultFont = addItem(editMenu, QStringLiteral("&Default Font - "), "mnuDefaultFont", true, "font");
    connect(mnuDefaultFont, &QAction::triggered, this, &TQMMainScreen::mnuDefaultFontClick);
    mnuChangeLayout = editMenu->addMenu(QStringLiteral("Change Label Layout"));
    mnuChangeLayout->setObjectName(QStringLiteral("mnuChangeLayout"));
    mnuChangeLayout->setIcon(ProgramIcon(QStringLiteral("layout")));
    mnuChangeFromTemplate = addItem(mnuChangeLayout, QStringLiteral("From Template"), "mnuChangeFromTemplate");
    mnuChangeUserDefined = addItem(mnuChangeLayout, QStringLiteral("User Defined Layout"), "mnuChangeUserDefined");
    connect(mnuChangeFromTemplate, &QAction::triggered, this, &TQMMainScreen::mnuChangeFromTemplateClick);
    connect(mnuChangeUserDefined, &QAction::triggered, this, &TQMMainScreen::mnuChangeUserDefinedClick);

    QMenu *helpMenu = bar->addMenu(QStringLiteral("&Help"));
    helpMenu->setObjectName(QStringLiteral("mnuHelp"));
    QAction *contents = addItem(helpMenu, QStringLiteral("&Contents"), "mnuContents", true, "help");
    contents->setShortcut(QKeySequence::HelpContents);
    connect(contents, &QAction::triggered, this, [] { TQMHelpWindow::Instance()->ShowContents(); });
    QAction *about = addItem(helpMenu, QStringLiteral("&About"), "mnuAbout", true, "about");
    connect(about, &QAction::triggered, this, &TQMMainScreen::mnuAboutClick);
    QAction *faq = addItem(helpMenu, QStringLiteral("Frequently Asked Questions"), "mnuFAQ", true, "faq");
    connect(faq, &QAction::triggered, this, [this] { ShowHelpTopic(this, FaqTopic); });
    helpMenu->addSeparator();
    mnuShowHints = addItem(helpMenu, QStringLiteral("Show Hints"), "mnuShowHints");
    mnuShowHints->setCheckable(true);
    mnuShowHints->setChecked(true);
    connect(mnuShowHints, &QAction::triggered, this, &TQMMainScreen::mnuShowHintsClick);
    QAction *config = addItem(helpMenu, QStringLiteral("Configuration Information"), "mnuConfigInfo", true, "configinfo");
    connect(config, &QAction::triggered, this, &TQMMainScreen::mnuConfigInfoClick);
    QAction *support = addItem(helpMenu, QStringLiteral("Technical Support"), "mnuTechSupport", true, "support");
    connect(support, &QAction::triggered, this, [this] { ShowHelpTopic(this, SupportTopic); });

    // The two web pages are set when the program is built; without an
    // address the item (and, without both, the separator) is not shown.
    const QString website = QStringLiteral(QM_WEBSITE_URL);
    const QString bonusArt = QStringLiteral(QM_BONUS_ART_URL);
    QAction *webSeparator = helpMenu->addSeparator();
    webSeparator->setVisible(!website.isEmpty() || !bonusArt.isEmpty());
    QAction *web = addItem(helpMenu, QStringLiteral("Visit Our Internet Website"), "mnuWebsite", true, "website");
    web->setVisible(!website.isEmpty());
    connect(web, &QAction::triggered, this, [website] { QDesktopServices::openUrl(QUrl(website)); });
    QAction *art = addItem(helpMenu, QStringLiteral("Visit the Bonus Artwork Web Page"), "mnuBonusArt", true, "bonusart");
    art->setVisible(!bonusArt.isEmpty());
    connect(art, &QAction::triggered, this, [bonusArt] { QDesktopServices::openUrl(QUrl(bonusArt)); });
}

void TQMMainScreen::SetDefaultFontCaption()
{
    // The default font lives in the panel's Font. A bold font leaves the
    // blank after "pt" standing before ", bold".
    const TFont &font = mPanel->Font();
    QString caption = QStringLiteral("Default Font: ") + font.Name() + QStringLiteral(", ")
                      + QString::number(font.Size()) + QStringLiteral(" pt ");
    if (font.Style() & (1u << fsBold))
        caption += QStringLiteral(", bold");
    if (font.Style() & (1u << fsItalic))
        caption += QStringLiteral(", italic");
    mnuDefaultFont->setText(caption);
}

void TQMMainScreen::SetTemplateCaption()
{
    const QString name = mLayout.Name == QLatin1String("USER DEFINED")
                             ? QStringLiteral("User Defined")
                             : mLayout.Name;
    mnuChangeLayout->setTitle(QStringLiteral("Change Label Layout    (") + name + QLatin1Char(')'));
}

bool TQMMainScreen::HintsShown() const
{
    return mnuShowHints->isChecked();
}

void TQMMainScreen::SetHintsShown(bool on)
{
    mnuShowHints->setChecked(on);
}

void TQMMainScreen::mnuAboutClick()
{
    TAboutBox box(this);
    ExecDialog(box);
}

void TQMMainScreen::mnuConfigInfoClick()
{
    TReportSettings settings;
    settings.ProgramName = QStringLiteral("Quillmark");
    settings.Version = QStringLiteral(QM_VERSION);
    settings.BuildDate = QStringLiteral(QM_BUILD_DATE);
    settings.IniFileName = PreferencesFileName();
    const TFont &font = mPanel->Font();
    settings.FontName = font.Name();
    settings.FontSize = font.Size();
    settings.Bold = font.Style() & (1u << fsBold);
    settings.Italic = font.Style() & (1u << fsItalic);
    settings.Underline = font.Style() & (1u << fsUnderline);
    settings.TopNudge = mPrefs.TopMarginNudge;
    settings.LeftNudge = mPrefs.LeftMarginNudge;
    settings.VerticalSpacing = mPrefs.VerticalSpacing;
    settings.HorizontalSpacing = mPrefs.HorizontalSpacing;

    TConfigurationInfo dialog(this);
    PlaceDialog(&dialog);
    // Shown while it is built, so that the progress texts can be read.
    dialog.show();
    dialog.BuildReport(settings, TSystemProbe());
    ExecDialog(dialog);
}
