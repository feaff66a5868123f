#pragma once
// ByteReader: a bounded little-endian cursor over picture bytes. Every read
// checks what remains first; an overrun sets the failed mark and yields 0,
// so a reader can test ok() once after a group of fields.

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>
#include <cstring>

namespace graphics {

class ByteReader
{
public:
    explicit ByteReader(QByteArrayView bytes) : mData(bytes) {}

    qsizetype size() const { return mData.size(); }
    qsizetype pos() const { return mPos; }
    qsizetype remaining() const { return mData.size() - mPos; }
    bool ok() const { return !mFailed; }
    bool atEnd() const { return mPos >= mData.size(); }
    void fail() { mFailed = true; }

    bool has(qint64 n) const { return n >= 0 && n <= remaining(); }
    bool seek(qint64 offset)
    {
        if (offset < 0 || offset > mData.size())
            return fail(), false;
        mPos = qsizetype(offset);
        return true;
    }
    bool skip(qint64 n) { return has(n) ? (mPos += qsizetype(n), true) : (fail(), false); }

    quint8 u8() { return quint8(take(1)); }
    quint16 u16() { return quint16(take(2)); }
    quint32 u32() { return quint32(take(4)); }
    qint16 s16() { return qint16(u16()); }
    qint32 s32() { return qint32(u32()); }
    float f32()
    {
        const quint32 v = u32();
        float f;
        static_assert(sizeof f == sizeof v);
        std::memcpy(&f, &v, sizeof f);
        return f;
    }

    // The next n bytes (empty and failed when fewer remain).
    QByteArrayView bytes(qint64 n)
    {
        if (!has(n)) {
            fail();
            return {};
        }
        const QByteArrayView v = mData.sliced(mPos, qsizetype(n));
        mPos += qsizetype(n);
        return v;
    }
    // A view from an absolute offset, bounded by the end of the data.
    QByteArrayView from(qint64 offset, qint64 n) const
    {
        if (offset < 0 || n < 0 || offset > mData.size() || n > mData.size() - offset)
            return {};
        return mData.sliced(qsizetype(offset), qsizetype(n));
    }
    QByteArrayView data() const { return mData; }

private:
    quint64 take(int n)
    {
        if (!has(n)) {
            fail();
            mPos = mData.size();
            return 0;
        }
        quint64 v = 0;
        for (int i = 0; i < n; ++i)
            v |= quint64(quint8(mData[mPos + i])) << (8 * i);
        mPos += n;
        return v;
    }

    QByteArrayView mData;
    qsizetype mPos = 0;
    bool mFailed = false;
};

}  // namespace graphics
