#pragma once
#include <QDialog>

class QComboBox;
class QFileSystemModel;
class QTreeView;

namespace tamsel {

struct AlbumState;

// The small "选择文件夹" dialog: a list of the mounted drives and a folder tree.
// It opens on the current directory; "确定" leaves the tree's folder in
// FolderChoice, "取消" leaves FolderChoice as it was.
class FolderChooser : public QDialog {
    Q_OBJECT
public:
    FolderChooser(AlbumState& state, QWidget* parent = nullptr);

    // The folder the tree stands on.
    QString CurrentFolder() const;
    // The drive list's entries (mount points) and the one chosen.
    QStringList Drives() const;
    QString CurrentDrive() const;
    void ChooseDrive(const QString& root);
    void ChooseFolder(const QString& folder);

    // The buttons by index: 0 "确定", 1 "取消".
    void ButtonClick(int index);

private:
    AlbumState& state_;
    QComboBox* drives_;
    QTreeView* tree_;
    QFileSystemModel* model_;
};

}  // namespace tamsel
