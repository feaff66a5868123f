#include "richtext/WPStorage.h"

#include "richtext/RtfPicture.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"
#include "storage/Stream.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace rtf {

void CopyDocument(const QTextDocument &src, QTextDocument &dst)
{
    if (&src == &dst)
        return;
    const bool undo = dst.isUndoRedoEnabled();
    dst.setUndoRedoEnabled(false);
    dst.clear();
    dst.setDefaultFont(src.defaultFont());
    CopyPictureResources(src, dst);
    QTextCursor c(&dst);
    bool first = true;
    for (QTextBlock b = src.begin(); b.isValid(); b = b.next()) {
        if (first) {
            c.setBlockFormat(b.blockFormat());
            c.setBlockCharFormat(b.charFormat());
            first = false;
        } else {
            c.insertBlock(b.blockFormat(), b.charFormat());
        }
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().isValid())
                c.insertText(it.fragment().text(), it.fragment().charFormat());
    }
    dst.setUndoRedoEnabled(undo);
}

}  // namespace rtf

TWPRtfStorage::TWPRtfStorage() = default;
TWPRtfStorage::~TWPRtfStorage() = default;

QByteArray TWPRtfStorage::Rtf() const
{
    if (mRtf.isEmpty()) {
        QTextDocument empty;
        return rtf::Write(empty);
    }
    return mRtf;
}

void TWPRtfStorage::SetRtf(const QByteArray &rtfText)
{
    mRtf = rtfText;
    mDocument.reset();
    mError.clear();
    if (OnChange)
        OnChange();
}

const QTextDocument &TWPRtfStorage::Document() const
{
    if (!mDocument) {
        if (mRtf.isEmpty()) {
            mDocument = std::make_unique<QTextDocument>();
        } else {
            rtf::ReadResult r = rtf::Read(mRtf);
            mError = r.error;
            mDocument = r.document ? std::move(r.document) : std::make_unique<QTextDocument>();
        }
    }
    return *mDocument;
}

QString TWPRtfStorage::ReadError() const
{
    Document();
    return mError;
}

void TWPRtfStorage::SetDocument(const QTextDocument &document)
{
    auto copy = std::make_unique<QTextDocument>();
    rtf::CopyDocument(document, *copy);
    mRtf = rtf::Write(*copy);
    mDocument = std::move(copy);
    mError.clear();
    if (OnChange)
        OnChange();
}

void TWPRtfStorage::Assign(const TWPRtfStorage &other)
{
    if (&other != this)
        SetRtf(other.mRtf);
}

void TWPRtfStorage::Clear()
{
    SetRtf(QByteArray());
}

const TPropertyTable &TWPRTFTextIo::Properties() const
{
    static const TPropertyTable table(nullptr, {});
    return table;
}

void TWPRTFTextIo::WriteDefinedProperties(PropertyWriter &writer, const QByteArray &path) const
{
    writer.writePropName(path + "Data");
    writer.writeBinary(mStorage->Rtf());
}

bool TWPRTFTextIo::ReadDefinedProperty(PropertyReader &reader, const QByteArray &name)
{
    if (name.compare("Data", Qt::CaseInsensitive) != 0)
        return false;
    // Kept as stored; what cannot be read as RTF shows as an empty document.
    mStorage->SetRtf(reader.readBinary());
    return true;
}
