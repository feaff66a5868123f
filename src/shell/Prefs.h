#pragma once
// The user settings kept in the preferences file QM.INI, and the placement
// of windows stored in the same file.

#include <QRect>
#include <QString>

class QWidget;
class TIniFile;

// TPreferences: every setting of the preferences file except the recent
// files list and window placements, with the value used when a key is missing.
struct TPreferences
{
    // Printer fine tuning, each in 1/32 inch, -8 to 8.
    int TopMarginNudge = 0;
    int LeftMarginNudge = 0;
    int VerticalSpacing = 0;
    int HorizontalSpacing = 0;

    bool UseMM = false;

    // Start folders of the Open and Save As dialogs; when missing, the
    // program's directory with a trailing "/".
    QString FileOpenLastPath;
    QString FileSaveLastPath;

    // The default font of new text objects.
    QString FontName = QStringLiteral("Arial");
    int FontSize = 10;
    bool FontBold = false;
    bool FontItalic = false;
    bool FontUnderline = false;

    bool ShowHints = true;

    // Reads every setting from ini; a missing or unusable key gives the
    // default above (nudges outside -8..8 and font sizes outside 1..1000
    // count as unusable).
    void LoadPreferences(const TIniFile &ini);
    // Writes every setting into ini ("Printer", "User", "Paths",
    // "Default Font", "Misc"); the caller saves ini with UpdateFile().
    void SavePreferences(TIniFile &ini) const;
};

// The preferences file: QM.INI in the program's directory, matched without
// regard to case.
QString PreferencesFileName();

// A preferences file left as "qm2.ini" in dir becomes "qm.ini", unless a
// preferences file is there already; failures are ignored. Run it before
// anything reads the preferences.
void MigrateOldPreferencesFile(const QString &dir);

// The screen a window placement is fitted to.
struct TScreenInfo
{
    QRect Area;              // the part of the screen windows may cover
    int PixelsPerInch = 96;  // logical pixels per inch
};

// The available geometry and logical pixels per inch of the primary screen.
TScreenInfo PrimaryScreenInfo();

// className + "_Placement", followed by pixelsPerInch in decimal when it is
// above 96, so that a change of screen resolution starts a fresh placement.
QString PlacementSection(const QString &className, int pixelsPerInch);

// Stores the window's normal (not maximized) rectangle as Left, Top, Right,
// Bottom (Right and Bottom just outside it: Right = x + width) and whether
// it is maximized, in its placement section of ini.
void SaveWindowPlacement(const QWidget *window, const QString &className, TIniFile &ini,
                         const TScreenInfo &screen = PrimaryScreenInfo());

// Gives the window its stored placement: maximized when stored so;
// otherwise the stored rectangle (centred on the screen when nothing is
// stored) pulled onto the screen.
void RestoreWindowPlacement(QWidget *window, const QString &className, const TIniFile &ini,
                            const TScreenInfo &screen = PrimaryScreenInfo());
