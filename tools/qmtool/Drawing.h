#pragma once
// What the drawing commands share: a label file read into a design panel
// of its own, as the program reads it, and the messages of failures.

#include "design/Gqmpanel32.h"
#include "storage/LabelLayout.h"
#include "storage/Persist.h"

#include <QString>

#include <memory>
#include <stdexcept>

// A failure worth one message on stderr and exit status 1.
class EToolError : public std::runtime_error
{
public:
    explicit EToolError(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

// The owner (name space) of the objects and the panel they lie on, hidden,
// at zoom 1.0, sized and shaped from the layout as the main window does.
class TLabelDocument
{
public:
    TLabelDocument();
    ~TLabelDocument();

    // Throws EToolError with the program's open message (and the reason on
    // a second line) when the file is missing or cannot be read.
    void Open(const QString &fileName);

    TGQuillmarkPanel32 *Panel() const { return mPanel.get(); }
    const TLabelLayout &Layout() const { return mLayout; }

private:
    std::unique_ptr<TComponent> mOwner;
    std::unique_ptr<TGQuillmarkPanel32> mPanel;
    TLabelLayout mLayout;
};

// Prints "qmtool: message" on stderr.
void PrintError(const QString &message);
