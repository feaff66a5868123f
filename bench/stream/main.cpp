// Writes 10,000 component records of 12 properties each into a stream and
// reads them back, printing the time per record for each direction.

#include "storage/Gdiobj.h"
#include "storage/Stream.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>

namespace {

const TIdentList AlignmentIdents = {"taLeftJustify", "taRightJustify", "taCenter"};

// A text-label-like component: 9 published values plus a font giving 3 more.
class TBenchLabel : public TComponent
{
public:
    using TComponent::TComponent;
    QByteArray ClassName() const override { return "TBenchLabel"; }
    const TPropertyTable &Properties() const override
    {
        using T = TBenchLabel;
        static const TPropertyTable table(nullptr, {
            props::integer("Left", &T::Left, &T::SetLeft, std::nullopt),
            props::integer("Top", &T::Top, &T::SetTop, std::nullopt),
            props::integer("Width", &T::Width, &T::SetWidth, std::nullopt),
            props::integer("Height", &T::Height, &T::SetHeight, std::nullopt),
            props::enumeration("Alignment", AlignmentIdents, &T::Alignment, &T::SetAlignment, 0),
            props::string("Caption", &T::Caption, &T::SetCaption),
            props::color("BackColor", &T::BackColor, &T::SetBackColor, std::nullopt),
            props::boolean("Transparent", &T::Transparent, &T::SetTransparent, std::nullopt),
            props::floating("Ratio", &T::Ratio, &T::SetRatio),
            props::object("Font", TPropKind::Object, &T::Font),
        });
        return table;
    }
    int Left() const { return mLeft; }
    void SetLeft(int v) { mLeft = v; }
    int Top() const { return mTop; }
    void SetTop(int v) { mTop = v; }
    int Width() const { return mWidth; }
    void SetWidth(int v) { mWidth = v; }
    int Height() const { return mHeight; }
    void SetHeight(int v) { mHeight = v; }
    int Alignment() const { return mAlignment; }
    void SetAlignment(int v) { mAlignment = v; }
    QString Caption() const { return mCaption; }
    void SetCaption(const QString &v) { mCaption = v; }
    TColor BackColor() const { return mBackColor; }
    void SetBackColor(TColor v) { mBackColor = v; }
    bool Transparent() const { return mTransparent; }
    void SetTransparent(bool v) { mTransparent = v; }
    double Ratio() const { return mRatio; }
    void SetRatio(double v) { mRatio = v; }
    TFont *Font() const { return &mFont; }

private:
    int mLeft = 0, mTop = 0, mWidth = 142, mHeight = 33, mAlignment = 0;
    QString mCaption;
    TColor mBackColor = cl::White;
    bool mTransparent = true;
    double mRatio = 0;
    mutable TFont mFont;
};

class TBenchOwner : public TComponent
{
public:
    QByteArray ClassName() const override { return "TBenchOwner"; }
    const TPropertyTable &Properties() const override
    {
        static const TPropertyTable table(nullptr, {});
        return table;
    }
    ~TBenchOwner() override
    {
        while (!Components().empty())
            delete Components().back();
    }
};

constexpr int Records = 10000;
constexpr int Rounds = 3;

}  // namespace

int main()
{
    TClassRegistry::instance().Register("TBenchLabel", [](TComponent *o) { return new TBenchLabel(o); });

    TBenchOwner source;
    for (int i = 0; i < Records; ++i) {
        auto *label = new TBenchLabel(&source);
        label->SetName(QStringLiteral("Component%1").arg(i));
        label->SetLeft(i % 500);
        label->SetTop(i * 7 % 40000);
        label->SetWidth(100 + i % 300);
        label->SetHeight(20 + i % 50);
        label->SetAlignment(i % 3 == 0 ? 2 : 1);
        label->SetCaption(QStringLiteral("Label number %1").arg(i));
        label->SetBackColor(i % 2 ? cl::Yellow : TColor(0x00102030 + i));
        label->SetTransparent(i % 2);
        label->SetRatio(1.0 + i / 1000.0);
        label->Font()->SetColor(cl::Navy);
        label->Font()->SetHeight(-13 - i % 10);
        label->Font()->SetName(QStringLiteral("Arial"));
    }

    double bestWrite = 1e300, bestRead = 1e300;
    qsizetype bytes = 0;
    for (int round = 0; round < Rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        PropertyWriter writer;
        writer.writeListBegin();
        for (const TComponent *c : source.Components())
            writer.writeRootComponent(*c);
        writer.writeListEnd();
        bestWrite = std::min(bestWrite, double(timer.nsecsElapsed()));
        const QByteArray data = writer.takeData();
        bytes = data.size();

        TBenchOwner target;
        int count = 0;
        timer.restart();
        PropertyReader reader(data);
        reader.readListBegin();
        reader.readRootComponents(&target, nullptr, [&](TComponent *) { ++count; });
        reader.readListEnd();
        bestRead = std::min(bestRead, double(timer.nsecsElapsed()));
        if (count != Records) {
            std::fprintf(stderr, "read %d records, expected %d\n", count, Records);
            return 1;
        }
    }

    std::printf("stream: %d records, 12 properties each, %lld bytes (best of %d rounds)\n", Records,
                static_cast<long long>(bytes), Rounds);
    std::printf("write: %.2f us per record\n", bestWrite / Records / 1000.0);
    std::printf("read:  %.2f us per record\n", bestRead / Records / 1000.0);
    return 0;
}
