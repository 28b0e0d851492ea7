#pragma once
#include <QDialog>

class QComboBox;
class QFileSystemModel;
class QTreeView;

namespace tamsel {

struct AlbumState;

// The small "选择文件夹" dialog: a list of the mount points and a folder tree.
// It opens on the current directory; "确定" leaves the tree's folder in
// FolderChoice, "取消" leaves FolderChoice as it was.
class FolderChooser : public QDialog {
    Q_OBJECT
public:
    FolderChooser(AlbumState& state, QWidget* parent = nullptr);

    // The folder the tree stands on.
    QString CurrentFolder() const;
    // The mount-point list and the one chosen.
    QStringList MountPoints() const;
    QString CurrentMountPoint() const;
    void ChooseMountPoint(const QString& root);
    void ChooseFolder(const QString& folder);

    // The buttons by index: 0 "确定", 1 "取消".
    void ButtonClick(int index);

private:
    AlbumState& state_;
    QComboBox* mountPoints_;
    QTreeView* tree_;
    QFileSystemModel* model_;
};

}  // namespace tamsel
