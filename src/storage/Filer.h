#pragma once
// TGLabelObjectFiler: writes a design panel's label objects to label files,
// object (clipboard) files and in-memory clones, and reads them back.

#include "Persist.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <vector>

class QObject;
class PropertyReader;
class PropertyWriter;
class TDesignProperties;
struct TLabelLayout;

// A label file or object file could not be written; the message names the
// file and the reason. Nothing was replaced: the previous file is intact.
class EFileWriteError : public EStreamError
{
public:
    using EStreamError::EStreamError;
};

class TGLabelObjectFiler
{
public:
    // The owner new objects get unique names in ("Component" + N).
    TComponent *NameOwner = nullptr;
    // True only while ReadObjects reads: every object is moved 15 pixels
    // right and 15 pixels down.
    bool PasteOffset = false;

    // Every label object of the panel (its TComponent children, back to
    // front), then the layout. The panel must be at zoom 1.0.
    void WriteLabelFile(const QObject *panel, const QString &fileName, const TLabelLayout &layout);
    // Missing file: does nothing, the layout stays untouched. Does not clear
    // the panel. Throws EStreamError (objects already completed stay).
    void ReadLabelFile(TComponent *owner, QObject *panel, TLabelLayout &layout, const QString &fileName);
    // An empty selection leaves the file as it was.
    void WriteSelection(const QList<TComponent *> &selection, const QString &fileName);
    void WriteObject(const TComponent *object, const QString &fileName);
    // Reads an object file with the paste offset. Missing file: nothing.
    QList<TComponent *> ReadObjects(TComponent *owner, QObject *panel, const QString &fileName);
    // Writes the object to memory and reads it straight back (no offset).
    TComponent *CloneObject(const TComponent *object, TComponent *owner, QObject *parent);

    // The same shapes in memory (the file operations use them).
    static QByteArray LabelFileBytes(const QObject *panel, const TLabelLayout &layout);
    static QByteArray ObjectFileBytes(const QList<const TComponent *> &objects);
    QList<TComponent *> ReadLabelBytes(TComponent *owner, QObject *panel, TLabelLayout &layout,
                                       const QByteArray &data);
    QList<TComponent *> ReadObjectBytes(TComponent *owner, QObject *panel, const QByteArray &data);

    // The label objects of a panel in child order (its TComponent children).
    static QList<TComponent *> PanelObjects(const QObject *panel);

    // Files larger than this are refused as damaged rather than read whole.
    static constexpr qint64 MaxFileSize = 256 * 1024 * 1024;
    // A whole file, as the read operations take it; throws EStreamError
    // ("Stream read error") when it cannot be read or is too large.
    static QByteArray ReadFileBytes(const QString &fileName) { return readFile(fileName); }

private:
    QList<TComponent *> readObjectList(PropertyReader &reader, TComponent *owner, QObject *parent);
    // After the layout record: the design's properties, when stored;
    // defaults otherwise. Nothing happens for a panel without them.
    static void readDesignProperties(PropertyReader &reader, TDesignProperties *design);
    static void writeObjectList(PropertyWriter &writer, const QList<const TComponent *> &objects);
    static void writeFile(const QString &fileName, const QByteArray &data);
    static QByteArray readFile(const QString &fileName);
};
