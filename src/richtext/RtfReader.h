#pragma once
// The RTF reader: RTF bytes in, a QTextDocument (or a message) out. No
// widgets and no global state, so the label object, qmtool and fuzz
// targets all call the same function.

#include <QByteArray>
#include <QString>

#include <memory>

class QTextDocument;

namespace rtf {

// Input larger than this is refused before reading.
constexpr qsizetype MaxRtfBytes = 64 * 1024 * 1024;
// Groups nested deeper than this end the read with a message.
constexpr int MaxGroupDepth = 256;
// Largest \binN payload accepted; a larger one (or one longer than the
// rest of the input) ends the read.
constexpr qint64 MaxBinBytes = 16 * 1024 * 1024;
// Font sizes are kept within these points when applied to the document.
constexpr double MinFontPoints = 1.0;
constexpr double MaxFontPoints = 1638.0;
// Indents, spacing and line heights beyond this many twips are clamped.
constexpr int MaxTwips = 31680;  // 22 inches

struct ReadResult
{
    std::unique_ptr<QTextDocument> document;  // null when the read failed
    QString error;
};

// True when the bytes begin with "{\rtf" (after white space).
bool LooksLikeRtf(const QByteArray &bytes);

// Reads a whole RTF document. Damaged input gives a bounded document where
// what was read makes sense (missing closing braces, unknown control
// words, fonts or colours missing from their tables), or a message when it
// does not (not RTF, nesting too deep, \bin past the end).
ReadResult Read(const QByteArray &bytes);

// Document units (pixels of the document's layout) per inch, and twips
// converted to them and back.
double DocumentUnitsPerInch();
double TwipsToUnits(double twips);
int UnitsToTwips(double units);

}  // namespace rtf
