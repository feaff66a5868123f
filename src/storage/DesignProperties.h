#pragma once
// TDesignProperties: what a label file stores about the design as a whole
// rather than about one object: the mail merge data source and how it is
// read. Kept by the design panel as a child object, written by the filer
// after the layout record.

#include "MergeSource.h"
#include "Persist.h"

#include <QObject>

#include <functional>

extern const TIdentList MergeDelimiterIdents, MergeEncodingIdents;

class TDesignProperties : public QObject, public TPersistent
{
public:
    explicit TDesignProperties(QObject *parent = nullptr) : QObject(parent) {}

    QByteArray ClassName() const override { return "TDesignProperties"; }
    const TPropertyTable &Properties() const override;

    // The data file's path; empty: the design merges nothing.
    QString MergeSource() const { return mMergeSource; }
    void SetMergeSource(const QString &path) { mMergeSource = path; }
    bool MergeHeader() const { return mOptions.Header; }
    void SetMergeHeader(bool header) { mOptions.Header = header; }
    TMergeDelimiter MergeDelimiter() const { return mOptions.Delimiter; }
    void SetMergeDelimiter(TMergeDelimiter d) { mOptions.Delimiter = d; }
    TMergeEncoding MergeEncoding() const { return mOptions.Encoding; }
    void SetMergeEncoding(TMergeEncoding e) { mOptions.Encoding = e; }
    const TMergeOptions &MergeOptions() const { return mOptions; }

    // Every property at its default: nothing to store.
    bool IsDefault() const;
    void Reset();
    // Called after a read assigned (or reset) the properties.
    std::function<void()> OnLoaded;
    void Loaded()
    {
        if (OnLoaded)
            OnLoaded();
    }

    // The design properties of a panel (its direct child), or nullptr.
    static TDesignProperties *Of(const QObject *panel);

private:
    QString mMergeSource;
    TMergeOptions mOptions;
};
