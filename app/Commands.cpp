#include "app/Commands.h"

#include <QString>

namespace tamsel {
namespace {

constexpr MenuItem kPhotoMenu[] = {
    {"照片夹...", 1}, {nullptr, 0}, {"打开脚本...", 2}, {nullptr, 0},
    {"扫描照片...", 4}, {nullptr, 0}, {"批量改名...", 5}, {"批量转换...", 6},
};
constexpr MenuItem kOutMenu[] = {
    {"保存脚本...", 11}, {nullptr, 0}, {"照片另存...", 12}, {nullptr, 0},
    {"作为桌面", 13},    {nullptr, 0}, {"打印照片...", 14}, {nullptr, 0},
    {"导出视频...", 15},
};
constexpr MenuItem kTreatMenu[] = {
    {"平衡...", 35}, {nullptr, 0}, {"清晰", 36}, {"柔化", 37}, {"底片", 38},
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

QString CommandCaption(int code)
{
    for (MenuId m : {MenuId::Photo, MenuId::Out, MenuId::Treat})
        for (const MenuItem& item : MenuItems(m))
            if (item.caption && item.code == code)
                return QString::fromUtf8(item.caption);
    return {};
}

Outcome CommandDispatcher::DoCommand(int code) const
{
    const auto it = table_.find(code);
    if (it == table_.end() || !it->second)
        return Outcome::Done();
    return it->second();
}

}  // namespace tamsel
