#pragma once
// The template chooser: picks a ready-made layout from the template library.

#include "layout/TemplateLibrary.h"

#include <QDialog>
#include <QMetaType>

class QButtonGroup;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QPushButton;

// TTemplateIndex: the library entry a line of the template list stands for.
struct TTemplateIndex
{
    int Index = 0;  // entry number, 1-based
};
Q_DECLARE_METATYPE(TTemplateIndex)

// TSelectTemplate: the "Select Template" dialog.
class TSelectTemplate : public QDialog
{
    Q_OBJECT
public:
    // The help topic of this dialog, passed with helpRequested().
    static constexpr int HelpTopic = 1048;

    // An empty libraryPath means TemplateLibrary::defaultPath().
    explicit TSelectTemplate(QWidget *parent = nullptr, const QString &libraryPath = QString());

    // Inputs, set before the dialog is shown.
    QString CurrentName;
    QString CurrentPrinterType;
    QString CurrentProductType;
    QString CurrentPaperSize;
    bool ForNewLabel = true;
    // Sets the four Current... inputs from a layout, and ForNewLabel.
    void SetCurrentLayout(const TLabelLayout &layout, bool forNewLabel);

    // Entry i of the library is TemplateList[i - 1]; as long as the file
    // says, filled on the first activation.
    QList<TLabelLayout> TemplateList;
    // The chosen template, filled on Ok.
    TLabelLayout ChosenLayout;

    TemplateFilter currentFilter() const;

    // The library entry of the selected list item, 0 when none is selected.
    int selectedEntry() const;

Q_SIGNALS:
    // Help was asked for; the dialog itself shows no help.
    void helpRequested(int topic);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FillArray();
    void widenForNames();
    void FilterTemplates();
    void ShowDescript();
    void TypeAheadChange(const QString &text);
    void OkButtonClick();

    QString mLibraryPath;
    bool mActivated = false;
    QList<TemplateItem> mSortedItems;  // every entry, in list order
    QStringList mItemTexts;            // the list's lines, for the type-ahead
    QButtonGroup *mProductType;
    QButtonGroup *mPrinterType;
    QButtonGroup *mRegion;
    QLineEdit *mTypeAhead;
    QListWidget *mTemplateList;
    QPlainTextEdit *mDescription;
    QPushButton *mOkButton;
};
