#pragma once
// TMergeDataSection: the "Data" section of the print preparation window: a
// design's mail merge data source, its record count and first record, and
// the choices of a merged run (record range, copies, start cell).

#include "storage/MergeSource.h"

#include <QGroupBox>

#include <memory>

class QLabel;
class TGBasePanel;
class TSpinEdit;

class TMergeDataSection : public QGroupBox
{
    Q_OBJECT
public:
    // Records of the first record shown, field by field.
    static constexpr int ShownFields = 6;

    explicit TMergeDataSection(QWidget *parent = nullptr);
    ~TMergeDataSection() override;

    // Reads the data source the panel's design names (counting its
    // records); hidden when the design has none. Returns whether a source
    // is named.
    bool ShowSource(const TGBasePanel &panel);
    // The cells a sheet has, for the start cell's range.
    void SetCellCount(int cells);

    // The open source, or nullptr when there is none or it cannot be read.
    TMergeSource *Source() const { return mSource.get(); }
    // Why the source cannot be read; empty when it can.
    QString Error() const { return mError; }
    qint64 FirstRecord() const;
    qint64 LastRecord() const;
    int Copies() const;
    // Counted from 0 (the window shows it from 1).
    int StartCell() const;

    QLabel *SourceCaption() const { return mSourceCaption; }
    QLabel *CountCaption() const { return mCountCaption; }
    QLabel *FieldsCaption() const { return mFieldsCaption; }
    TSpinEdit *FromEdit() const { return mFrom; }
    TSpinEdit *ToEdit() const { return mTo; }
    TSpinEdit *CopiesEdit() const { return mCopies; }
    TSpinEdit *StartCellEdit() const { return mStartCell; }

private:
    std::unique_ptr<TMergeSource> mSource;
    QString mError;
    QLabel *mSourceCaption = nullptr;
    QLabel *mCountCaption = nullptr;
    QLabel *mFieldsCaption = nullptr;
    TSpinEdit *mFrom = nullptr;
    TSpinEdit *mTo = nullptr;
    TSpinEdit *mCopies = nullptr;
    TSpinEdit *mStartCell = nullptr;
};
