#include "Filer.h"

#include "DesignProperties.h"
#include "FileModes.h"
#include "LabelLayout.h"
#include "Stream.h"

#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <QSaveFile>

namespace {

// Most label objects one label file or object file may hold; the read stops
// with "Too many objects" at the one after (those read stay).
constexpr int MaxObjects = 50000;

// Moves an object through its published Left/Top setters, so the object
// runs its own bounds handling.
void offsetObject(TComponent *object, int dx, int dy)
{
    for (const char *name : {"Top", "Left"}) {
        const TPropInfo *p = object->Properties().find(name);
        if (p && p->getOrd && p->setOrd)
            p->setOrd(*object, p->getOrd(*object) + (qstrcmp(name, "Top") == 0 ? dy : dx));
    }
}

}  // namespace

QList<TComponent *> TGLabelObjectFiler::PanelObjects(const QObject *panel)
{
    QList<TComponent *> objects;
    if (!panel)
        return objects;
    for (QObject *child : panel->children())
        if (auto *c = dynamic_cast<TComponent *>(child))
            objects.append(c);
    return objects;
}

void TGLabelObjectFiler::writeObjectList(PropertyWriter &writer, const QList<const TComponent *> &objects)
{
    writer.writeListBegin();
    for (const TComponent *object : objects)
        writer.writeRootComponent(*object, object);
    writer.writeListEnd();
}

QByteArray TGLabelObjectFiler::LabelFileBytes(const QObject *panel, const TLabelLayout &layout)
{
    PropertyWriter writer;
    QList<const TComponent *> objects;
    for (TComponent *c : PanelObjects(panel))
        objects.append(c);
    writeObjectList(writer, objects);
    writer.writeListBegin();
    layout.Write(writer);
    writer.writeListEnd();
    // The design's own properties follow as a list of property records,
    // only when one differs from its default: a design without them keeps
    // the bytes it always had, and a reader that stops after the layout
    // record (every older one) never sees them.
    if (const TDesignProperties *design = TDesignProperties::Of(panel); design && !design->IsDefault()) {
        writer.writeListBegin();
        writer.writeProperties(*design);
        writer.writeListEnd();
    }
    return writer.takeData();
}

QByteArray TGLabelObjectFiler::ObjectFileBytes(const QList<const TComponent *> &objects)
{
    PropertyWriter writer;
    writeObjectList(writer, objects);
    return writer.takeData();
}

// The whole file goes to a temporary file beside the target, which replaces
// the target only once everything was written: a failed save never leaves a
// truncated label file behind.
void TGLabelObjectFiler::writeFile(const QString &fileName, const QByteArray &data)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw EFileWriteError(QStringLiteral("Cannot write %1: %2").arg(fileName, file.errorString()));
    if (file.write(data) != data.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw EFileWriteError(QStringLiteral("Cannot write %1: %2").arg(fileName, reason));
    }
    KeepUsualPermissions(file, fileName);
    if (!file.commit())
        throw EFileWriteError(QStringLiteral("Cannot write %1: %2").arg(fileName, file.errorString()));
    // QSaveFile can report success on a full disk with a buffered tail lost;
    // the size on disk is the last word.
    if (QFileInfo(fileName).size() != data.size())
        throw EFileWriteError(QStringLiteral("Cannot write %1: the file is incomplete").arg(fileName));
}

QByteArray TGLabelObjectFiler::readFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EStreamError(QStringLiteral("Stream read error"));
    if (file.size() > MaxFileSize)
        throw EStreamError(QStringLiteral("Stream read error"));
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EStreamError(QStringLiteral("Stream read error"));
    return data;
}

void TGLabelObjectFiler::WriteLabelFile(const QObject *panel, const QString &fileName, const TLabelLayout &layout)
{
    writeFile(fileName, LabelFileBytes(panel, layout));
}

void TGLabelObjectFiler::WriteSelection(const QList<TComponent *> &selection, const QString &fileName)
{
    if (selection.isEmpty())
        return;
    QList<const TComponent *> objects(selection.begin(), selection.end());
    writeFile(fileName, ObjectFileBytes(objects));
}

void TGLabelObjectFiler::WriteObject(const TComponent *object, const QString &fileName)
{
    writeFile(fileName, ObjectFileBytes({object}));
}

QList<TComponent *> TGLabelObjectFiler::readObjectList(PropertyReader &reader, TComponent *owner, QObject *parent)
{
    // A method name no object publishes is harmless: the event stays empty.
    reader.OnFindMethod = [](const QByteArray &) { return true; };
    // Every object read gets the first free "Component" + N of the owner.
    // When Component0 .. Component1000 are all taken the stored name stays.
    reader.OnSetName = [owner](TComponent &, QString &name) {
        if (!owner)
            return;
        const QString free = owner->FirstFreeName(QStringLiteral("Component"), 0, 1000);
        if (!free.isEmpty())
            name = free;
    };

    QList<TComponent *> objects;
    reader.readListBegin();
    auto finish = [&objects] {
        for (TComponent *c : objects)
            c->FinishLoading();
    };
    try {
        reader.readRootComponents(owner, parent, [&](TComponent *c) {
            objects.append(c);
            if (objects.size() > MaxObjects)
                throw EStreamError(QStringLiteral("Too many objects"));
            if (PasteOffset)
                offsetObject(c, 15, 15);
        });
    } catch (...) {
        // The objects completed before the damage stay, fully usable.
        finish();
        throw;
    }
    finish();
    reader.readListEnd();
    return objects;
}

QList<TComponent *> TGLabelObjectFiler::ReadLabelBytes(TComponent *owner, QObject *panel, TLabelLayout &layout,
                                                      const QByteArray &data)
{
    NameOwner = owner;
    PropertyReader reader(data);
    QList<TComponent *> objects = readObjectList(reader, owner, panel);
    TLabelLayout read;
    reader.readListBegin();
    read.Read(reader);
    reader.readListEnd();
    layout = read;
    readDesignProperties(reader, TDesignProperties::Of(panel));
    return objects;
}

void TGLabelObjectFiler::readDesignProperties(PropertyReader &reader, TDesignProperties *design)
{
    if (!design)
        return;
    TDesignProperties read;
    if (!reader.atEnd()) {
        reader.readListBegin();
        // Properties of a newer program are passed over.
        while (!reader.endOfList())
            reader.readPropertyOrSkip(read);
        reader.readListEnd();
    }
    design->SetMergeSource(read.MergeSource());
    design->SetMergeHeader(read.MergeHeader());
    design->SetMergeDelimiter(read.MergeDelimiter());
    design->SetMergeEncoding(read.MergeEncoding());
    design->Loaded();
}

QList<TComponent *> TGLabelObjectFiler::ReadObjectBytes(TComponent *owner, QObject *panel, const QByteArray &data)
{
    NameOwner = owner;
    PropertyReader reader(data);
    return readObjectList(reader, owner, panel);
}

void TGLabelObjectFiler::ReadLabelFile(TComponent *owner, QObject *panel, TLabelLayout &layout,
                                       const QString &fileName)
{
    if (!QFileInfo::exists(fileName))
        return;
    ReadLabelBytes(owner, panel, layout, readFile(fileName));
}

QList<TComponent *> TGLabelObjectFiler::ReadObjects(TComponent *owner, QObject *panel, const QString &fileName)
{
    if (!QFileInfo::exists(fileName))
        return {};
    const QByteArray data = readFile(fileName);
    PasteOffset = true;
    try {
        QList<TComponent *> objects = ReadObjectBytes(owner, panel, data);
        PasteOffset = false;
        return objects;
    } catch (...) {
        PasteOffset = false;
        throw;
    }
}

TComponent *TGLabelObjectFiler::CloneObject(const TComponent *object, TComponent *owner, QObject *parent)
{
    const QList<TComponent *> objects = ReadObjectBytes(owner, parent, ObjectFileBytes({object}));
    return objects.isEmpty() ? nullptr : objects.first();
}
