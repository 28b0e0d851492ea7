#pragma once
#include "imaging/QuickStrip.h"

#include <QPixmap>
#include <QWidget>

#include <array>

namespace tamsel {

// Shows the eight quick-effect buttons in a row or a column, each with its
// normal, hover or pressed picture and its tooltip, and turns the mouse into
// QuickStrip calls. Where the strip sits on the window is the layout's job.
class QuickStripWidget : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSize = 32;   // every button picture is 32 x 32

    // Pictures are read from pictureDir (the program directory).
    QuickStripWidget(QuickStrip& strip, const QString& pictureDir,
                     Qt::Orientation orientation = Qt::Horizontal, QWidget* parent = nullptr);
    ~QuickStripWidget() override;

    // The rectangle of button k in the widget.
    QRect ButtonRect(int k) const;
    // The button under a point of the widget, or -1.
    int ButtonAt(const QPoint& p) const;
    // File name of the picture of button k in a look, inside the picture folder.
    static QString PictureName(int k, QuickStrip::Look look);
    // True when every picture was found; missing ones are drawn as plain tiles.
    bool HasAllPictures() const { return allFound_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent*) override;
    bool event(QEvent* e) override;

private:
    QPixmap Fallback(int k, QuickStrip::Look look) const;

    QuickStrip& strip_;
    Qt::Orientation orientation_;
    std::array<std::array<QPixmap, 3>, QuickStrip::kButtons> pictures_;
    bool allFound_ = true;
};

}  // namespace tamsel
