#pragma once
#include <QDialog>
#include <QPixmap>

class QLabel;

namespace tamsel {

struct AppPaths;
class PictureElement;

// A borderless modal dialog dressed like the main window: the rounded frame
// picture cut in nine, its own title on the paper band, a close picture in
// the top-right corner and the rounded-rectangle outline. The title band
// moves the window. Contents go into Body().
class SkinnedDialog : public QDialog {
    Q_OBJECT
public:
    SkinnedDialog(const AppPaths& paths, const QString& title, QWidget* parent);

    QWidget* Body() const { return body_; }
    // Fixes the dialog's size to what the body's layout asks for.
    void FitToBody();
    PictureElement* CloseImage() const { return close_; }

protected:
    // The close picture was clicked. Hides the dialog unless overridden.
    virtual void CloseImageClicked() { reject(); }

    bool eventFilter(QObject* watched, QEvent* e) override;
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;

private:
    QPixmap frame_;
    QPixmap closeNormal_, closeHover_, closePressed_;
    QLabel* title_;
    PictureElement* close_;
    QWidget* body_;
    bool manualMove_ = false;
    bool moving_ = false;
    QPoint moveOffset_;
};

}  // namespace tamsel
