// The main window's preferences, default font, hints and recent files list.
#include "Main.h"

#include "IniFile.h"
#include "MRUList.h"

#include "controls/DialogSupport.h"
#include "controls/MessageBoxes.h"
#include "objects/text/TextFont.h"
#include "storage/Gdiobj.h"

#include <QAction>
#include <QMenu>

namespace {

void setStyleBit(TFontStyles &style, TFontStyle bit, bool on)
{
    if (on)
        style |= 1u << bit;
    else
        style &= ~(1u << bit);
}

}  // namespace

void TQMMainScreen::LoadPreferences()
{
    const TIniFile ini(PreferencesFileName());
    mPrefs.LoadPreferences(ini);

    // The default font lives in the panel's Font; style bits other than
    // these three stay as they are.
    TFont &font = mPanel->Font();
    font.SetName(mPrefs.FontName);
    font.SetSize(mPrefs.FontSize);
    TFontStyles style = font.Style();
    setStyleBit(style, fsBold, mPrefs.FontBold);
    setStyleBit(style, fsItalic, mPrefs.FontItalic);
    setStyleBit(style, fsUnderline, mPrefs.FontUnderline);
    font.SetStyle(style);

    SetHintsShown(mPrefs.ShowHints);
}

void TQMMainScreen::SavePreferences()
{
    const TFont &font = mPanel->Font();
    mPrefs.FontName = font.Name();
    mPrefs.FontSize = font.Size();
    mPrefs.FontBold = font.Style() & (1u << fsBold);
    mPrefs.FontItalic = font.Style() & (1u << fsItalic);
    mPrefs.FontUnderline = font.Style() & (1u << fsUnderline);
    mPrefs.ShowHints = HintsShown();
    try {
        TIniFile ini(PreferencesFileName());
        mPrefs.SavePreferences(ini);
        ini.UpdateFile();
    } catch (const EIniError &e) {
        ErrorBox(e.message(), this);
    }
}

void TQMMainScreen::createRecentFiles()
{
    mRecentFiles = new TMRUFileList(this);
    mRecentFiles->SetFileMenu(mFileMenu);
    mRecentFiles->RemoveOnClick = true;
    mRecentFiles->SetMaximum(5);
    mRecentFiles->OnMRUItemClick = [this](TMRUMenuItem *item, const QString &fileName) {
        OpenRecentFile(item, fileName);
    };
    mRecentFiles->AutoSaveName = PreferencesFileName();
    mRecentFiles->AutoSaveKey = QStringLiteral("MRU");
    mRecentFiles->AutoSave = false;
    mRecentFiles->LoadFromStorage();
}

void TQMMainScreen::rememberRecentFile(const QString &fileName)
{
    mRecentFiles->AddFile(fileName);
    try {
        mRecentFiles->SaveToStorage();
    } catch (const EIniError &e) {
        ErrorBox(e.message(), this);
    }
}

void TQMMainScreen::mnuDefaultFontClick()
{
    if (const std::optional<QFont> chosen = PickFont(DialogFont(mPanel->Font()), this)) {
        AssignDialogFont(mPanel->Font(), *chosen);
        SetDefaultFontCaption();
        SavePreferences();
    }
    InformationBox(QStringLiteral("Note: the default font is used for NEW objects only.\r"
                                  "To change the font of an existing object, click it\r"
                                  "with the RIGHT MOUSE BUTTON and select FONT"),
                   this);
}

void TQMMainScreen::mnuShowHintsClick(bool checked)
{
    SetHintsShown(checked);
    SavePreferences();
}
