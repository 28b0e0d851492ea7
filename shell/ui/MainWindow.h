#pragma once
#include <QImage>
#include <QWidget>

namespace tamsel {

class AlbumCore;

// The main window: frameless, sized from the photo area, showing the cover or
// the current photo in the photo area at (9, 55).
class MainWindow : public QWidget {
    Q_OBJECT
public:
    MainWindow(AlbumCore& core, QWidget* parent = nullptr);

    // Shows a message in the info line; beep = the system beep goes with it.
    void ShowInfo(const QString& text, bool beep);
    // Shows the cover, or the current photo when the cover is not showing.
    void ShowCurrent();
    // Sizes the window from the photo area and centres it on the screen.
    void SizeAndCentre();

Q_SIGNALS:
    void closing();

protected:
    void paintEvent(QPaintEvent*) override;
    void closeEvent(QCloseEvent*) override;
    void mousePressEvent(QMouseEvent*) override;

private:
    AlbumCore& core_;
    QImage picture_;
    QString info_;
};

}  // namespace tamsel
