#pragma once
#include <QDialog>

class QComboBox;
class QFileSystemModel;
class QTreeView;

namespace tamsel {

// The small "选择文件夹" dialog: a list of the mounted drives and a folder tree.
// It opens on startFolder (the home folder when that is not a folder);
// "确定" makes the tree's folder the chosen one, "取消" leaves none.
class FolderChooser : public QDialog {
    Q_OBJECT
public:
    explicit FolderChooser(const QString& startFolder, QWidget* parent = nullptr);

    // The folder "确定" took; "" before that or after "取消".
    const QString& Chosen() const { return chosen_; }

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
    QString chosen_;
    QComboBox* drives_;
    QTreeView* tree_;
    QFileSystemModel* model_;
};

}  // namespace tamsel
