#pragma once
#include <QDialog>
#include <QPixmap>

namespace tamsel {

struct AppPaths;
class PictureElement;

// A modal dialog in the album's own dress: borderless, cut to the rounded
// rectangle, its frame painted from the nine pieces of dialog_frame.png, the
// title on the paper band and the close picture in the corner. Dragging the
// title band moves it.
class SkinnedDialog : public QDialog {
    Q_OBJECT
public:
    SkinnedDialog(const AppPaths& paths, const QString& title, QWidget* parent);

    // Where the dialog's own controls go: inside the frame, below the title.
    QRect BodyRect() const;

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    QPixmap frame_;
    QPixmap closeUp_, closeMove_, closeDown_;
    PictureElement* close_ = nullptr;
    QString title_;
    bool dragging_ = false;
    QPoint dragOffset_;
};

}  // namespace tamsel
