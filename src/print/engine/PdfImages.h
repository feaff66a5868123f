#pragma once
// TPdfImages: the pictures of a print job written into its PDF file by the
// program itself instead of by Qt's PDF writer.
//
// Qt's writer stores every picture of 8 bits a channel as RGB, deflated at
// its default level on the thread that paints the page, at the moment the
// picture is first drawn. A palette picture grows to three times its size
// on the way, and a large photograph holds up the whole job while it is
// compressed. So the job draws a small stand-in image instead (one per
// picture, the same every time, so Qt writes one object for it however many
// labels show it), while a worker thread encodes the picture itself:
// palette pictures as /Indexed, grey ones as /DeviceGray, the rest as RGB,
// losslessly, grey and RGB rows predicted from the row above. When the file
// is complete, Finish appends an update to it (an incremental update, as PDF
// provides for) that replaces each stand-in object by its picture.

#include <QByteArray>
#include <QImage>
#include <QString>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <vector>

class TPdfImages
{
public:
    TPdfImages();
    ~TPdfImages();
    TPdfImages(const TPdfImages &) = delete;
    TPdfImages &operator=(const TPdfImages &) = delete;

    // What to draw in place of `image`. `image` itself when Qt's writer must
    // store it (transparency, 1 bit a pixel, formats of more than 8 bits a
    // channel); otherwise its stand-in, the same one for every call with the
    // same image.
    QImage StandIn(const QImage &image);

    // Replaces the stand-ins in the finished PDF file by their pictures.
    // False, with the reason in `error`, when the file cannot be read or
    // extended or is not laid out as Qt's writer lays out its files; the
    // file must then not be used.
    bool Finish(const QString &fileName, QString *error);

    // How many pictures have stand-ins.
    int Count() const { return int(mEntries.size()); }

    // The stored form of a picture the worker makes, exposed for tests:
    // the image dictionary's entries after /Subtype (each on a line) and the
    // deflated pixel data.
    struct Encoded
    {
        QByteArray Dictionary;
        QByteArray Data;
        bool Ok = false;
    };
    static Encoded Encode(const QImage &image);

private:
    struct Entry
    {
        QImage Source;
        QImage Stand;
        QByteArray Tag;   // the stand-in's pixel bytes as the file holds them
        Encoded Result;
        bool Done = false;
    };

    void work();
    void stop();

    std::vector<std::unique_ptr<Entry>> mEntries;
    std::unordered_map<qint64, Entry *> mByKey;
    quint64 mNonce = 0;

    std::mutex mMutex;
    std::condition_variable mWake, mDone;
    std::deque<Entry *> mQueue;
    bool mStopping = false;
    std::thread mWorker;
};
