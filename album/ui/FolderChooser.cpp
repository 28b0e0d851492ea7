#include "album/ui/FolderChooser.h"

#include "platform/Fonts.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QStorageInfo>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace tamsel {

namespace {

// The mounted file systems a user keeps folders on: real, ready volumes.
QStringList MountedRoots()
{
    QStringList roots;
    for (const QStorageInfo& v : QStorageInfo::mountedVolumes()) {
        if (!v.isValid() || !v.isReady())
            continue;
        const QByteArray type = v.fileSystemType();
        if (type == "proc" || type == "sysfs" || type == "devtmpfs" || type == "cgroup" ||
            type == "cgroup2" || type == "devpts" || type == "mqueue" || type == "securityfs")
            continue;
        roots << v.rootPath();
    }
    if (!roots.contains(QStringLiteral("/")))
        roots << QStringLiteral("/");
    roots.removeDuplicates();
    std::sort(roots.begin(), roots.end());
    return roots;
}

}  // namespace

FolderChooser::FolderChooser(const QString& startFolder, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("选择文件夹"));
    setFont(WindowFont());
    setModal(true);

    mountPoints_ = new QComboBox(this);
    mountPoints_->addItems(MountedRoots());

    model_ = new QFileSystemModel(this);
    model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    model_->setRootPath(QStringLiteral("/"));
    tree_ = new QTreeView(this);
    tree_->setModel(model_);
    for (int c = 1; c < model_->columnCount(); ++c)
        tree_->hideColumn(c);
    tree_->header()->hide();

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { ButtonClick(0); });
    connect(cancel, &QPushButton::clicked, this, [this] { ButtonClick(1); });
    connect(mountPoints_, &QComboBox::textActivated, this, &FolderChooser::ChooseMountPoint);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(mountPoints_);
    layout->addWidget(tree_, 1);
    layout->addLayout(buttons);
    resize(340, 400);

    // Both open on the folder given; without one, on the user's home.
    const QString here = startFolder.isEmpty() || !QFileInfo(startFolder).isDir() ? QDir::homePath()
                                                                                : startFolder;
    const QString root = QStorageInfo(here).rootPath();
    mountPoints_->setCurrentText(root.isEmpty() ? QStringLiteral("/") : root);
    ChooseFolder(here);
}

QString FolderChooser::Ask(QWidget* parent, const QString& startFolder)
{
    FolderChooser dialog(startFolder, parent);
    return dialog.exec() == QDialog::Accepted ? dialog.Chosen() : QString();
}

QString FolderChooser::CurrentFolder() const
{
    return model_->filePath(tree_->currentIndex());
}

QStringList FolderChooser::MountPoints() const
{
    QStringList list;
    for (int i = 0; i < mountPoints_->count(); ++i)
        list << mountPoints_->itemText(i);
    return list;
}

QString FolderChooser::CurrentMountPoint() const { return mountPoints_->currentText(); }

void FolderChooser::ChooseMountPoint(const QString& root)
{
    mountPoints_->setCurrentText(root);
    ChooseFolder(root);
}

void FolderChooser::ChooseFolder(const QString& folder)
{
    const QModelIndex index = model_->index(QDir::cleanPath(folder));
    if (!index.isValid())
        return;
    tree_->setCurrentIndex(index);
    tree_->expand(index);
    tree_->scrollTo(index);
}

void FolderChooser::ButtonClick(int index)
{
    if (index == 0) {
        chosen_ = CurrentFolder();
        accept();
    } else {
        reject();
    }
}

}  // namespace tamsel
