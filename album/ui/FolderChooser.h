#pragma once
#include <QDialog>

class QComboBox;
class QFileSystemModel;
class QTreeView;

namespace tamsel {

// The small "选择文件夹" dialog: a list of the mount points and a folder tree,
// both opening on the folder given (the working folder: the program never
// looks at the process's own directory). "确定" takes the tree's folder.
class FolderChooser : public QDialog {
    Q_OBJECT
public:
    explicit FolderChooser(const QString& startFolder, QWidget* parent = nullptr);

    // Shows the dialog modally: the folder chosen with "确定", or "".
    static QString Ask(QWidget* parent, const QString& startFolder);

    // The folder the tree stands on.
    QString CurrentFolder() const;
    // The mount-point list and the one chosen.
    QStringList MountPoints() const;
    QString CurrentMountPoint() const;
    void ChooseMountPoint(const QString& root);
    void ChooseFolder(const QString& folder);

    // The buttons by index: 0 "确定", 1 "取消".
    void ButtonClick(int index);
    // What "确定" took; "" until then.
    QString Chosen() const { return chosen_; }

private:
    QString chosen_;
    QComboBox* mountPoints_;
    QTreeView* tree_;
    QFileSystemModel* model_;
};

}  // namespace tamsel
