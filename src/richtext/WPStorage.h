#pragma once
// TWPRtfStorage, the document storage of a rich text object, and
// TWPRTFTextIo, the holder through which the property stream reads and
// writes it: the RTF text as one binary value ("RTFText.Data").

#include "storage/Persist.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

class QTextDocument;

namespace rtf {
// Replaces dst's content with src's blocks, block formats and character
// runs (the content the RTF reader and writer carry).
void CopyDocument(const QTextDocument &src, QTextDocument &dst);
}

// One RTF document. The RTF is kept as it was read, byte for byte, until
// the document is replaced, so a label file saves back unchanged; the
// document is read from it when first asked for.
class TWPRtfStorage
{
public:
    TWPRtfStorage();
    ~TWPRtfStorage();

    // The RTF held; an empty storage gives the RTF of an empty document.
    QByteArray Rtf() const;
    void SetRtf(const QByteArray &rtf);
    // The document read from the RTF; a damaged RTF gives an empty one and
    // the reader's message in ReadError().
    const QTextDocument &Document() const;
    QString ReadError() const;
    void SetDocument(const QTextDocument &document);
    void Assign(const TWPRtfStorage &other);
    void Clear();

    std::function<void()> OnChange;

private:
    QByteArray mRtf;
    mutable std::unique_ptr<QTextDocument> mDocument;
    mutable QString mError;
};

// The published holder of a storage's document.
class TWPRTFTextIo : public TPersistent
{
public:
    explicit TWPRTFTextIo(TWPRtfStorage *storage) : mStorage(storage) {}
    QByteArray ClassName() const override { return "TWPRTFTextIo"; }
    const TPropertyTable &Properties() const override;
    void WriteDefinedProperties(PropertyWriter &writer, const QByteArray &path) const override;
    bool ReadDefinedProperty(PropertyReader &reader, const QByteArray &name) override;

    TWPRtfStorage *Storage() const { return mStorage; }
    void Assign(const TWPRTFTextIo &other) { mStorage->Assign(*other.mStorage); }

private:
    TWPRtfStorage *mStorage;
};
