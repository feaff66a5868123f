#pragma once
// What qmtool dump and build share: a design panel owned by a stand-in main
// window, as the program holds label objects, and the layout record as JSON.

#include "Json.h"

#include "storage/Persist.h"

#include <QTemporaryDir>
#include <QWidget>

#include <memory>
#include <stdexcept>

class TGQuillmarkPanel32;
struct TLabelLayout;

// Registers the label object classes and pins the fonts, as the program
// does at start-up. Needs the QApplication.
void PrepareLabelObjects();

class TWPRichText;

// The owner of the label objects, in place of the main window.
class TToolWindow : public QWidget, public TComponent
{
public:
    QByteArray ClassName() const override { return "TToolWindow"; }
    const TPropertyTable &Properties() const override;

    // The shared editor rich text objects draw through, as on the main
    // window; made with the first rich text object (PrepareLabelObjects),
    // since making it lays out an empty document in the desktop font, which
    // a label without rich text never needs.
    TWPRichText *MasterRichText();

private:
    TWPRichText *mMasterRichText = nullptr;
};

// A window and its design panel at zoom 1.0. The panel's scratch files go
// to a private temporary folder, so the tool never touches the clipboard or
// scratch file of a running program.
class LabelDesign
{
public:
    LabelDesign();
    ~LabelDesign();
    TToolWindow &window() { return *mWindow; }
    TGQuillmarkPanel32 &panel() { return *mPanel; }

private:
    QTemporaryDir mScratch;
    std::unique_ptr<TToolWindow> mWindow;
    TGQuillmarkPanel32 *mPanel = nullptr;
};

// A layout field or input that is not what build needs; the message says why.
class InputError : public std::runtime_error
{
public:
    explicit InputError(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

// The 18 fields, in stream order, by their field names.
JsonValue LayoutToJson(const TLabelLayout &layout);
// Sets the fields present in `json` (an object); throws InputError for an
// unknown field, a value of the wrong type or a string longer than its field.
void LayoutFromJson(const JsonValue &json, TLabelLayout &layout);
