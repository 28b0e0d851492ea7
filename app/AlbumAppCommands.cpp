// The command table binds each menu command to the application object's
// handler, so it is the application object's own: it lives beside it, and
// app/Commands.h only declares what the menus and the dispatcher read.
#include "app/AlbumApp.h"
#include "app/Commands.h"

#include <QString>

#include <utility>

namespace tamsel {
namespace {

using C = Command;

constexpr CommandEntry kCommands[] = {
    {C::ChooseFolder, "照片夹...", &AlbumApp::ChooseFolderCommand, false, "Ctrl+O"},
    {C::OpenScript, "打开脚本...", &AlbumApp::OpenScriptCommand, false},
    {C::Scan, "扫描照片...", &AlbumApp::ScanCommand, true},
    {C::RenameFiles, "批量改名...", &AlbumApp::RenameCommand, true},
    {C::ConvertFiles, "批量转换...", &AlbumApp::ConvertCommand, true},
    {C::SaveScript, "保存脚本...", &AlbumApp::SaveScriptCommand, false, "Ctrl+S"},
    {C::SavePhotoAs, "照片另存...", &AlbumApp::SavePhotoAsCommand, true},
    {C::SetWallpaper, "作为桌面", &AlbumApp::WallpaperCommand, false},
    {C::PrintPhoto, "打印照片...", &AlbumApp::PrintCommand, true, "Ctrl+P"},
    {C::ExportVideo, "导出视频...", &AlbumApp::ExportVideoCommand, true},
    {C::Balance, "平衡...", &AlbumApp::BalanceCommand, true},
    {C::Sharpen, "清晰", &AlbumApp::SharpenCommand, false},
    {C::Soften, "柔化", &AlbumApp::SoftenCommand, false},
    {C::Negative, "底片", &AlbumApp::NegativeCommand, false},
    {C::UndoRetouch, "撤销修饰", &AlbumApp::UndoRetouchCommand, false, "Ctrl+Z"},
};

constexpr MenuItem kSeparator = {nullptr, C::None};

// The menus list their commands; the captions come from the table.
constexpr MenuItem Item(Command c)
{
    for (const CommandEntry& e : kCommands)
        if (e.command == c)
            return {e.caption, c, e.shortcut};
    return kSeparator;
}

constexpr MenuItem kPhotoMenu[] = {
    Item(C::ChooseFolder), kSeparator,         Item(C::OpenScript),  kSeparator,
    Item(C::Scan),         kSeparator,         Item(C::RenameFiles), Item(C::ConvertFiles),
};
constexpr MenuItem kOutMenu[] = {
    Item(C::SaveScript),   kSeparator, Item(C::SavePhotoAs), kSeparator,
    Item(C::SetWallpaper), kSeparator, Item(C::PrintPhoto),  kSeparator,
    Item(C::ExportVideo),
};
constexpr MenuItem kTreatMenu[] = {
    Item(C::Balance), kSeparator, Item(C::Sharpen), Item(C::Soften), Item(C::Negative),
    kSeparator,       Item(C::UndoRetouch),
};

}  // namespace

std::span<const MenuItem> MenuItems(MenuId menu)
{
    switch (menu) {
    case MenuId::Photo: return kPhotoMenu;
    case MenuId::Out: return kOutMenu;
    case MenuId::Treat: return kTreatMenu;
    }
    return {};
}

std::span<const CommandEntry> CommandTable() { return kCommands; }

const CommandEntry* FindCommand(Command command)
{
    for (const CommandEntry& e : kCommands)
        if (e.command == command)
            return &e;
    return nullptr;
}

QString CommandCaption(Command command)
{
    const CommandEntry* e = FindCommand(command);
    return e ? QString::fromUtf8(e->caption) : QString();
}

// The menu-bar labels that open a menu; the others act at once.
constexpr std::pair<MenuId, int> kLabelMenus[] = {{MenuId::Photo, 0}, {MenuId::Treat, 1}, {MenuId::Out, 3}};

bool LabelOpensMenu(int label)
{
    for (const auto& m : kLabelMenus)
        if (m.second == label)
            return true;
    return false;
}

int MenuLabelOf(Command command)
{
    for (const auto& [menu, label] : kLabelMenus)
        for (const MenuItem& item : MenuItems(menu))
            if (item.caption && item.command == command)
                return label;
    return -1;
}

}  // namespace tamsel
