#pragma once
// TQMMainScreen: Quillmark's main window.

#include <QMainWindow>

class TQMMainScreen : public QMainWindow
{
    Q_OBJECT
public:
    explicit TQMMainScreen(QWidget *parent = nullptr);
};
