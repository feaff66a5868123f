#pragma once
// TPreviewForm: the window that shows the sheet recorded by a preview run,
// with zoom and page buttons. It cannot print.

#include <QDialog>

#include <functional>

class QIODevice;
class QLabel;
class QScrollArea;
class QToolButton;
class QPushButton;
class TPagePreviewer;

class TPreviewForm : public QDialog
{
    Q_OBJECT
public:
    static constexpr int HelpTopic = 1074;

    explicit TPreviewForm(QWidget *parent = nullptr);
    ~TPreviewForm() override;

    // 1 whole page, 2 page width, any other value a zoom in percent;
    // applied when the window is first shown.
    int ZoomMode = 1;
    // The recorded pages; the stream belongs to the caller and must stay
    // open while the window is shown.
    void SetStream(QIODevice *stream) { mStream = stream; }

    TPagePreviewer *Previewer() const { return mPreviewer; }
    QScrollArea *ScrollBox() const { return mScrollBox; }
    // "Preview Page 1 of 1 ( 100% )".
    QString PageCaption() const;
    void UpdateCaption();
    // Left button zooms in, any other button zooms out.
    void PageMouseDown(Qt::MouseButton button);

    enum Button { ZoomInButton, ZoomOutButton, PageWidthButton, WholePageButton, Zoom100Button,
                  FirstPageButton, PrevPageButton, NextPageButton, LastPageButton };
    QToolButton *ToolButton(Button button) const { return mButtons[button]; }
    // The zoom figure of the bottom bar, "100%".
    QLabel *ZoomFigure() const { return mZoomFigure; }

    // The window placement code of the program (kept with the preferences);
    // without it the window opens at its own size, centred over the main window.
    static std::function<void(QWidget *window)> RestorePlacementHook;
    static std::function<void(QWidget *window)> SavePlacementHook;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void done(int result) override;

private:
    void firstActivation();

    QScrollArea *mScrollBox = nullptr;
    TPagePreviewer *mPreviewer = nullptr;
    QToolButton *mButtons[9] = {};
    QLabel *mZoomFigure = nullptr;
    QIODevice *mStream = nullptr;
    bool mActivated = false;
};
