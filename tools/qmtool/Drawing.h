#pragma once
// What the drawing commands (print, render) share: a label file read into
// a design panel of its own, as the program reads it, and the messages of
// failures.

#include "LabelDesign.h"

#include "design/Gqmpanel32.h"
#include "storage/LabelLayout.h"

#include <QString>

#include <stdexcept>

// A failure worth one message on stderr and exit status 1.
class EToolError : public std::runtime_error
{
public:
    explicit EToolError(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

// The panel the objects lie on, hidden, at zoom 1.0, sized and shaped from
// the layout as the main window does, with the label outline drawn.
class TLabelDocument
{
public:
    TLabelDocument();

    // Throws EToolError with the program's open message (and the reason on
    // a second line) when the file is missing or cannot be read.
    void Open(const QString &fileName);

    TGQuillmarkPanel32 *Panel() { return &mDesign.panel(); }
    const TLabelLayout &Layout() const { return mLayout; }

private:
    LabelDesign mDesign;
    TLabelLayout mLayout;
};

// Prints "qmtool: message" on stderr.
void PrintError(const QString &message);
