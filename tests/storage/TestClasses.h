#pragma once
// Small components with one published property of every kind, for the
// stream tests and the benchmark.

#include "storage/Gdiobj.h"
#include "storage/Persist.h"
#include "storage/Stream.h"

#include <QObject>

enum TShade { shNone, shLight, shDark };
enum TMark { mkA, mkB, mkC, mkD };

inline const TIdentList ShadeIdents = {"shNone", "shLight", "shDark"};
inline const TIdentList MarkIdents = {"mkA", "mkB", "mkC", "mkD"};

// One item of a collection property.
class TTestItem : public TPersistent
{
public:
    QByteArray ClassName() const override { return "TTestItem"; }
    const TPropertyTable &Properties() const override
    {
        static const TPropertyTable table(nullptr, {
            props::string("Caption", &TTestItem::Caption, &TTestItem::SetCaption),
            props::integer("Value", &TTestItem::Value, &TTestItem::SetValue, 0),
        });
        return table;
    }
    QString Caption() const { return mCaption; }
    void SetCaption(const QString &v) { mCaption = v; }
    int Value() const { return mValue; }
    void SetValue(int v) { mValue = v; }

private:
    QString mCaption;
    int mValue = 0;
};

// A component with a property of every kind the stream knows.
class TTestObject : public TComponent
{
public:
    explicit TTestObject(TComponent *owner = nullptr)
        : TComponent(owner), mItems([] { return std::make_unique<TTestItem>(); })
    {
        mFont.SetName(QStringLiteral("Arial"));
        mFont.SetHeight(-13);
        mFont.SetColor(cl::Black);
    }
    QByteArray ClassName() const override { return "TTestObject"; }
    const TPropertyTable &Properties() const override
    {
        static const TPropertyTable table(nullptr, [] {
            using T = TTestObject;
            std::vector<TPropInfo> p;
            p.push_back(props::integer("Number", &T::Number, &T::SetNumber, 0));
            p.push_back(props::integer("Total", &T::Total, &T::SetTotal, std::nullopt));
            p.push_back(props::color("Colour", &T::Colour, &T::SetColour, cl::Black));
            p.push_back(props::cursor("Cursor", &T::Cursor, &T::SetCursor, 0));
            p.push_back(props::character("Letter", &T::Letter, &T::SetLetter, 'A'));
            p.push_back(props::enumeration("Shade", ShadeIdents, &T::Shade, &T::SetShade, shLight));
            p.push_back(props::boolean("Flag", &T::Flag, &T::SetFlag, false));
            p.push_back(props::boolean("Visible", &T::Visible, &T::SetVisible, std::nullopt));
            p.push_back(props::set("Marks", MarkIdents, &T::Marks, &T::SetMarks, 0));
            p.push_back(props::floating("Ratio", &T::Ratio, &T::SetRatio));
            p.push_back(props::string("Caption", &T::Caption, &T::SetCaption));
            p.push_back(props::object("Font", TPropKind::Object, &T::Font));
            p.push_back(props::object("Pen", TPropKind::Object, &T::Pen));
            p.push_back(props::object("Brush", TPropKind::Object, &T::Brush));
            p.push_back(props::object("Lines", TPropKind::StringList, &T::Lines));
            p.push_back(props::object("Picture", TPropKind::Picture, &T::Picture));
            p.push_back(props::object("Glyph", TPropKind::Bitmap, &T::Glyph));
            p.push_back(props::object("Items", TPropKind::Collection, &T::Items));
            p.push_back(props::component("Buddy", &T::Buddy, &T::SetBuddy));
            p.push_back(props::event("OnClick", &T::OnClick, &T::SetOnClick));
            p.push_back(props::integer<T>("Serial", &T::Serial, nullptr, std::nullopt));
            return p;
        }());
        return table;
    }
    bool HasPublishedMethod(const QByteArray &name) const override
    {
        return name == "ButtonClick";
    }

    int Number() const { return mNumber; }
    void SetNumber(int v) { mNumber = v; }
    int Total() const { return mTotal; }
    void SetTotal(int v) { mTotal = v; }
    TColor Colour() const { return mColour; }
    void SetColour(TColor v) { mColour = v; }
    int Cursor() const { return mCursor; }
    void SetCursor(int v) { mCursor = v; }
    int Letter() const { return mLetter; }
    void SetLetter(int v) { mLetter = v; }
    TShade Shade() const { return mShade; }
    void SetShade(TShade v) { mShade = v; }
    bool Flag() const { return mFlag; }
    void SetFlag(bool v) { mFlag = v; }
    bool Visible() const { return mVisible; }
    void SetVisible(bool v) { mVisible = v; }
    quint32 Marks() const { return mMarks; }
    void SetMarks(quint32 v) { mMarks = v; }
    double Ratio() const { return mRatio; }
    void SetRatio(double v) { mRatio = v; }
    QString Caption() const { return mCaption; }
    void SetCaption(const QString &v) { mCaption = v; }
    TFont *Font() const { return &mFont; }
    TPen *Pen() const { return &mPen; }
    TBrush *Brush() const { return &mBrush; }
    TStrings *Lines() const { return &mLines; }
    TPicture *Picture() const { return &mPicture; }
    TBitmap *Glyph() const { return &mGlyph; }
    TCollection *Items() const { return &mItems; }
    TTestObject *Buddy() const { return mBuddy; }
    void SetBuddy(TTestObject *v) { mBuddy = v; }
    QByteArray OnClick() const { return mOnClick; }
    void SetOnClick(const QByteArray &v) { mOnClick = v; }
    int Serial() const { return 7; }

    int finishCount = 0;
    void FinishLoading() override { ++finishCount; }

private:
    int mNumber = 0;
    int mTotal = 0;
    TColor mColour = cl::Black;
    int mCursor = 0;
    int mLetter = 'A';
    TShade mShade = shLight;
    bool mFlag = false;
    bool mVisible = true;
    quint32 mMarks = 0;
    double mRatio = 1.5;  // not 0, so a stored 0 is seen to be lost
    QString mCaption;
    mutable TFont mFont;
    mutable TPen mPen;
    mutable TBrush mBrush;
    mutable TStrings mLines;
    mutable TPicture mPicture;
    mutable TBitmap mGlyph;
    mutable TCollection mItems;
    TTestObject *mBuddy = nullptr;
    QByteArray mOnClick;
};

// A component that is also a QObject, to check that a failed read deletes
// objects living in a Qt object tree cleanly.
class TTestWidgetLike : public QObject, public TComponent
{
public:
    explicit TTestWidgetLike(TComponent *owner = nullptr) : TComponent(owner) {}
    QByteArray ClassName() const override { return "TTestWidgetLike"; }
    const TPropertyTable &Properties() const override
    {
        static const TPropertyTable table(nullptr, {
            props::integer("Left", &TTestWidgetLike::Left, &TTestWidgetLike::SetLeft, std::nullopt),
        });
        return table;
    }
    void SetParentComponent(QObject *parent) override { setParent(parent); }
    int Left() const { return mLeft; }
    void SetLeft(int v) { mLeft = v; }
    int childOrder = -1;
    void SetChildOrder(int position) override { childOrder = position; }

private:
    int mLeft = 0;
};

// The owner of read objects, publishing one method for event properties.
class TTestForm : public TComponent
{
public:
    QByteArray ClassName() const override { return "TTestForm"; }
    const TPropertyTable &Properties() const override
    {
        static const TPropertyTable table(nullptr, {});
        return table;
    }
    bool HasPublishedMethod(const QByteArray &name) const override { return name == "FormClick"; }
    ~TTestForm() override
    {
        while (!Components().empty())
            delete Components().back();
    }
};

inline void RegisterTestClasses()
{
    TClassRegistry &r = TClassRegistry::instance();
    r.Register("TTestObject", [](TComponent *owner) { return new TTestObject(owner); });
    r.Register("TTestWidgetLike", [](TComponent *owner) { return new TTestWidgetLike(owner); });
}
