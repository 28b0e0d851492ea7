#pragma once
#include <QLabel>
#include <QPixmap>
#include <QWidget>

namespace tamsel {

// A picture element of the skin: shows its picture, or nothing so that the
// skin painted on the window shows through. It reports the pointer to its
// owner, which swaps pictures and keeps the element's state in active.
class PictureElement : public QWidget {
    Q_OBJECT
public:
    explicit PictureElement(QWidget* parent, QSize size = QSize());

    void SetPicture(const QPixmap& picture);
    const QPixmap& Picture() const { return picture_; }

    // Pressed, hovered or latched.
    bool active = false;

Q_SIGNALS:
    void pressed(QMouseEvent* e);
    void moved(QMouseEvent* e);
    void released(QMouseEvent* e);
    // A left-button release over the element after a press on it.
    void clicked();
    void doubleClicked(QMouseEvent* e);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    QPixmap picture_;
};

// A text label of the skin in the window font, sized to its text. Its
// background is the window's unless it is given one of its own.
class SkinLabel : public QLabel {
    Q_OBJECT
public:
    explicit SkinLabel(QWidget* parent, const QString& text = QString());

    // Sets the text and fits the label to it.
    void SetCaption(const QString& text);
    void SetTextColor(const QColor& c);
    void SetBackColor(const QColor& c);

Q_SIGNALS:
    void clicked();
    void moved(QMouseEvent* e);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    bool pressed_ = false;
};

}  // namespace tamsel
