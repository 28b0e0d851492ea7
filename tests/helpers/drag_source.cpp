// A small window that drags the files named on its command line, as a file
// manager does, when the mouse is pressed on it: the end-to-end tests drop
// them on the album through the window system's own drag and drop.
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include <cstdio>

class DragSource : public QWidget {
protected:
    void mousePressEvent(QMouseEvent*) override
    {
        QList<QUrl> urls;
        for (const QString& path : QApplication::arguments().mid(1))
            urls << QUrl::fromLocalFile(path);
        auto* drag = new QDrag(this);
        auto* data = new QMimeData;
        data->setUrls(urls);
        drag->setMimeData(data);
        // Offered as a move first, as a file manager on one disk does; what
        // the target took is told on the standard output.
        std::printf("%d\n", int(drag->exec(Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, Qt::MoveAction)));
        std::fflush(stdout);
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    DragSource w;
    w.setWindowTitle(QStringLiteral("drag-source"));
    w.setGeometry(0, 0, 100, 80);
    w.show();
    return app.exec();
}
