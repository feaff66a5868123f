#pragma once
// TMergeSourceDialog: "Mail Merge Data": links a design to the data file
// its ${Name} fields are filled from, and says how the file is read.

#include "storage/MergeSource.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class TDesignProperties;

class TMergeSourceDialog : public QDialog
{
    Q_OBJECT
public:
    explicit TMergeSourceDialog(QWidget *parent = nullptr);

    // The dialog's fields from and to the design's properties.
    void SetValues(const TDesignProperties &design);
    // True when anything differs from `design` (which then takes the values).
    bool ApplyTo(TDesignProperties &design) const;

    QLineEdit *FileEdit() const { return mFile; }
    QCheckBox *HeaderCheck() const { return mHeader; }
    QComboBox *DelimiterList() const { return mDelimiter; }
    QComboBox *EncodingList() const { return mEncoding; }
    // What the file holds: records and field names, or why it cannot be read.
    QLabel *StatusCaption() const { return mStatus; }
    void UpdateStatus();

private:
    void browse();

    QLineEdit *mFile = nullptr;
    QCheckBox *mHeader = nullptr;
    QComboBox *mDelimiter = nullptr;
    QComboBox *mEncoding = nullptr;
    QLabel *mStatus = nullptr;
};
