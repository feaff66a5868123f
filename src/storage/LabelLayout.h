#pragma once
// TLabelLayout: one label's size and shape and the sheet it is printed on,
// all lengths in inches. The tail of every label file and the entry type of
// the template library.

#include <QString>

class PropertyReader;
class PropertyWriter;

struct TLabelLayout
{
    QString Name;              // at most 60 characters; "USER DEFINED" from the editor
    double LabelHeight = 0;
    double LabelWidth = 0;
    qint32 Across = 0;
    qint32 Down = 0;
    double TopMargin = 0;
    double LeftMargin = 0;
    double HorizontalPitch = 0;
    double VerticalPitch = 0;
    double PageWidth = 0;
    double PageHeight = 0;
    double ColumnGap = 0;
    double RowGap = 0;
    QString PrinterType;       // 2: "LJ" laser, "IJ" inkjet
    QString PaperSize;         // 5: "LTR", "LTRL", "A4", "A4L", "A5"
    QString LabelShape;        // 2: "RR", "SR", "EL"
    QString ProductType;       // 25
    QString ArtName;           // 12

    bool operator==(const TLabelLayout &) const = default;

    // Field lengths strings are cut to on reading.
    static constexpr int NameLength = 60, PrinterTypeLength = 2, PaperSizeLength = 5,
                         LabelShapeLength = 2, ProductTypeLength = 25, ArtNameLength = 12;

    // The fixed default layout (Avery 5160 address labels), with the ten
    // measurements passed through single precision as the main window keeps them.
    static TLabelLayout Default();

    // The 18 values in stream order (no list markers around them).
    void Write(PropertyWriter &writer) const;
    // Strings are cut to 255 characters, then to their field length; floats
    // accept integer kinds. Throws EStreamError.
    void Read(PropertyReader &reader);

    // Whether a layout read from a file can be shown and printed: labels
    // larger than any sheet, more of them than a sheet holds, or lengths
    // that are not finite only come from a damaged or hand-made file (the
    // panel would need gigabytes, a print run would not end).
    bool IsUsable() const;
    static constexpr double MaxLabelInches = 50.0;
    static constexpr double MaxLengthInches = 1000.0;
    static constexpr int MaxLabelsPerLine = 100;
};
