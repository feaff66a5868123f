#pragma once
// TGBarcode: the barcode label object: one symbol of any symbology Zint
// offers, drawn from Zint's vector output, with its data typed in or taken
// from the label's counter.

#include "design/GGraphc.h"
#include "objects/graphic/BarcodeSymbol.h"
#include "storage/Gdiobj.h"

#include <QPointer>

#include <memory>

class TGCounterLabel;

class TGBarcode : public TGGraphicControl
{
    Q_OBJECT
public:
    static constexpr int DefaultSymbology = 20;   // Code 128
    // The module widths drawn, in inches (a stored value outside is brought in).
    static constexpr double MinModuleWidth = 0.0005, MaxModuleWidth = 2.0;

    explicit TGBarcode(TComponent *owner = nullptr);
    ~TGBarcode() override;

    QByteArray ClassName() const override { return "TGBarcode"; }
    const TPropertyTable &Properties() const override;

    int Symbology() const { return mOptions.symbology; }
    void SetSymbology(int id);
    QString Data() const { return mOptions.data; }
    void SetData(const QString &data);
    bool UseCounter() const { return mUseCounter; }
    void SetUseCounter(bool use);
    bool ShowText() const { return mOptions.showText; }
    void SetShowText(bool show);
    TFont *Font() const { return mFont.get(); }
    TColor ForeColor() const { return mForeColor; }
    void SetForeColor(TColor c);
    TColor BackColor() const { return mBackColor; }
    void SetBackColor(TColor c);
    bool Transparent() const { return mTransparent; }
    void SetTransparent(bool transparent);
    // Inches; 0 fits the symbol to the frame.
    double ModuleWidth() const { return mModuleWidth; }
    void SetModuleWidth(double inches);
    // Degrees clockwise: 0, 90, 180 or 270.
    int Angle() const { return mOptions.angle; }
    void SetAngle(int degrees);
    bool QuietZones() const { return mOptions.quietZones; }
    void SetQuietZones(bool on);
    bool CheckDigit() const { return mOptions.checkDigit; }
    void SetCheckDigit(bool on);
    int ErrorCorrection() const { return mOptions.errorCorrection; }
    void SetErrorCorrection(int level);
    int SymbolSize() const { return mOptions.size; }
    void SetSymbolSize(int size);
    bool GS1Data() const { return mOptions.gs1; }
    void SetGS1Data(bool on);

    // The data the symbol encodes for the label being drawn: the typed data,
    // or the number of the label's counter as the counter shows it. Every
    // drawing and check goes through here.
    QString DrawnData() const;
    // The counter the data comes from: the first counter on the panel of
    // this object (or of the object set with SetDataContext); nullptr when
    // there is none.
    TGCounterLabel *LinkedCounter() const;
    // The dialog's sample takes its counter from the object it edits.
    void SetDataContext(TGGraphicControl *object) { mDataContext = object; }

    // The symbol for the current data and frame (cached); its error is set
    // when the data does not fit the symbology.
    const barcode::TSymbol &Symbol() const;
    // Which barcode (symbology, data) and Zint's message.
    QString PrintProblem() const override;

    // Copies every property but the geometry, through the setters.
    void CopyBarcodeFrom(const TGBarcode &other);

    void BuildObjectMenu(QMenu *menu) override;
    void ApplyFont(const TFont &font) override;
    void Paint() override;
    void PrintOnReport(TReport &report, double left, double top) override;
    bool EditNew() override;
    // The "Properties" command; true when the dialog was accepted.
    bool EditProperties();

protected:
    // Repaints when the linked counter repaints with another number.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void draw(QPainter &painter, const QRectF &target, double pixelsPerInch) const;
    double drawnModuleWidth() const;
    void changed();

    barcode::TOptions mOptions;
    bool mUseCounter = false;
    std::unique_ptr<TFont> mFont;
    TColor mForeColor = cl::Black;
    TColor mBackColor = cl::White;
    bool mTransparent = false;
    double mModuleWidth = 0;
    QPointer<TGGraphicControl> mDataContext;
    mutable QPointer<TGCounterLabel> mWatchedCounter;

    struct Cache
    {
        bool valid = false;
        barcode::TOptions options;
        QSizeF frame;
        double module = 0;
        QString context;   // what went wrong before encoding (no counter)
        barcode::TSymbol symbol;
    };
    mutable Cache mCache;
};
