#pragma once
// What every dialog of the program shares: the fixed-size frame without
// title-bar buttons, the common placement over the main window, the bottom
// strip with its Help, Ok and Cancel buttons, the help hook, and one place
// through which modal dialogs and the font and colour dialogs are run, so
// that tests can drive them without a nested event loop.

#include <QColor>
#include <QFont>
#include <QFontDialog>
#include <QFrame>

#include <functional>
#include <optional>

class QDialog;
class QPushButton;

// Caption, client size, fixed border, no title-bar buttons.
void SetupFixedDialog(QDialog *dialog, const QString &caption, int clientWidth, int clientHeight);

// The window dialogs are centred over; the main window registers itself.
void SetDialogMainWindow(QWidget *mainWindow);
QWidget *DialogMainWindow();
// Centres the dialog over the main window (or the screen when the main
// window is maximised or missing), then back onto the screen when it would
// not lie wholly on it or is smaller than 100 x 100.
void PlaceDialog(QWidget *dialog);

// Gives every control of the window that has no accessible name one a
// screen reader can read out: a button's caption, the caption of the label
// that is its buddy or stands just left of or above it, its group box's
// title, or its hint. Push buttons with a standard caption (Ok, Cancel,
// Help, Close) get their picture when the style puts pictures on dialog
// buttons. Names already set are kept.
void NameControls(QWidget *window);
// Runs NameControls on every window as it is shown.
void InstallControlNaming();
// Grows a caption placed by coordinates to the size its text needs at the
// interface font, keeping its left edge and its vertical centre.
void FitCaption(QWidget *caption);
// A caption without its access-key marks, trailing colon and ellipsis.
QString PlainCaption(const QString &caption);

// Help topics are shown by whatever help the program installs; without one
// an information box says that help is not available.
using HelpHandler = std::function<void(QWidget *parent, int topic)>;
void SetHelpHandler(HelpHandler handler);
void ShowHelpTopic(QWidget *parent, int topic);

// Runs a dialog modally and returns its result code. A runner installed by
// a test receives the dialog instead and returns the code it chose.
using DialogRunner = std::function<int(QDialog &dialog)>;
void SetDialogRunner(DialogRunner runner);
int ExecDialog(QDialog &dialog);

// The system font and colour dialogs, replaceable the same way.
using FontPicker = std::function<std::optional<QFont>(const QFont &initial, QWidget *parent,
                                                      QFontDialog::FontDialogOptions options)>;
void SetFontPicker(FontPicker picker);
std::optional<QFont> PickFont(const QFont &initial, QWidget *parent,
                              QFontDialog::FontDialogOptions options = {});
using ColorPicker = std::function<std::optional<QColor>(const QColor &initial, QWidget *parent)>;
void SetColorPicker(ColorPicker picker);
std::optional<QColor> PickColor(const QColor &initial, QWidget *parent);

// The 40-pixel strip at the bottom of a dialog: a line along its top, Help
// at the left, Ok (default) and Cancel at the right.
class TDialogButtonStrip : public QFrame
{
    Q_OBJECT
public:
    TDialogButtonStrip(QDialog *dialog, int helpTopic);
    QPushButton *okButton() const { return mOk; }
    QPushButton *cancelButton() const { return mCancel; }
    QPushButton *helpButton() const { return mHelp; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPushButton *mOk;
    QPushButton *mCancel;
    QPushButton *mHelp;
};
