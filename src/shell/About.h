#pragma once
// TAboutBox: the modal About box of the Help menu.

#include <QDialog>

class TAboutBox : public QDialog
{
    Q_OBJECT
public:
    explicit TAboutBox(QWidget *parent = nullptr);
    // The licence line the box shows.
    static QString LicenceText();
};
