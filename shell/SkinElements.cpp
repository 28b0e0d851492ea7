#include "shell/SkinElements.h"

#include <array>

namespace tamsel {
namespace {

using E = SkinElement;
using R = ElementRole;
using C = ElementClick;

// Ink colours that sit well on the paper of the title strip.
constexpr QRgb kTitleInk = qRgb(34, 50, 74);
constexpr QRgb kInfoInk = qRgb(58, 70, 88);
constexpr QRgb kMenuInk = qRgb(128, 128, 128);
constexpr QRgb kBlack = qRgb(0, 0, 0);
constexpr QRgb kAnyPhotoBack = qRgb(255, 255, 221);

constexpr QSize kWindowButton(17, 16);
constexpr QSize kLink(19, 18);

constexpr SkinElementEntry MenuLabel(const char* caption, unsigned flags)
{
    return {.element = E::MenuLabel, .name = "menuLabel", .label = true, .role = R::MenuLabel,
            .click = C::MenuLabel, .text = caption, .ink = kMenuInk, .flags = flags};
}

// Bar button i; the thumb is dragged rather than clicked. The keys name the
// button they stand for in its tooltip.
constexpr SkinElementEntry BarButton(int i, ElementLooks looks, unsigned flags = LockedByShow)
{
    return {.element = E::BarButton, .name = "barButton", .role = i == kThumb ? R::Thumb : R::BarButton,
            .click = i == kThumb ? C::None : C::BarButton, .size = kBarButtonSize[i], .looks = looks,
            .flags = flags};
}

// The title bar is made first, so that the elements sharing its strip lie above it.
constexpr SkinElementEntry kElements[] = {
    {.element = E::TitleBar, .name = "titleBar", .role = R::TitleBar},
    // The icon and the name are part of the title bar: the drag and the
    // double-click go through them to it.
    {.element = E::TitleIcon, .name = "titleIcon", .size = {16, 16}, .looks = {"icon16"},
     .flags = MouseThrough},
    {.element = E::TitleLabel, .name = "titleLabel", .label = true, .text = " 澄影集", .ink = kTitleInk,
     .flags = MouseThrough},

    {.element = E::MinimiseButton, .name = "minimiseButton", .role = R::WindowButton,
     .click = C::Minimise, .size = kWindowButton,
     .looks = {nullptr, "win_min_hover", "win_min_pressed", "最小化"}, .flags = LockedByShow},
    // While maximised the idle glyph is the restore glyph, painted on the skin.
    {.element = E::MaximiseButton, .name = "maximiseButton", .role = R::WindowButton,
     .click = C::Maximise, .size = kWindowButton,
     .looks = {nullptr, "win_max_hover", "win_max_pressed", "最大化"},
     .maximised = {"win_restore_idle", "win_restore_hover", "win_restore_pressed", "还原"},
     .flags = LockedByShow},
    {.element = E::CloseButton, .name = "closeButton", .role = R::WindowButton, .click = C::Close,
     .size = kWindowButton, .looks = {nullptr, "win_close_hover", "win_close_pressed", "关闭"}},

    // "修饰", "设置", "输出" wait for an album; "退出" always serves.
    MenuLabel("照片", LockedByShow),
    MenuLabel("修饰", NeedsAlbum | LockedByShow),
    MenuLabel("设置", NeedsAlbum | LockedByShow),
    MenuLabel("输出", NeedsAlbum | LockedByShow),
    MenuLabel("退出", 0),

    {.element = E::AboutButton, .name = "aboutButton", .role = R::Link, .click = C::About,
     .size = kLink, .looks = {"link_about_normal", "link_about_hover", nullptr, "关于澄影集"}},
    {.element = E::HelpButton, .name = "helpButton", .role = R::Link, .click = C::Help, .size = kLink,
     .looks = {"link_help_normal", "link_help_hover", nullptr, "　关于澄影集...(自述文件)　"}},
    {.element = E::Badge, .name = "badge", .click = C::HomePage, .size = {70, 35},
     .looks = {"badge_4star", nullptr, nullptr, "荣获四星级推荐"}, .cursor = Qt::PointingHandCursor},

    {.element = E::InfoLabel, .name = "infoLabel", .label = true, .ink = kInfoInk},
    {.element = E::MusicLabel, .name = "musicLabel", .label = true, .ink = kInfoInk},
    {.element = E::CountLabel, .name = "countLabel", .label = true, .ink = kInfoInk},

    BarButton(0, {"btn_play_normal", "btn_play_hover", "btn_play_pressed", "自动播放 (空格)"}),
    BarButton(1, {"btn_first_normal", "btn_first_hover", "btn_first_pressed", "最前一张 (Home)"}),
    BarButton(2, {"btn_prev_normal", "btn_prev_hover", "btn_prev_pressed", "上一张 (←)"}),
    BarButton(3, {"btn_next_normal", "btn_next_hover", "btn_next_pressed", "下一张 (→)"}),
    BarButton(4, {"btn_last_normal", "btn_last_hover", "btn_last_pressed", "最后一张 (End)"}),
    BarButton(kThumb, {"btn_thumb_normal", "btn_thumb_hover", "btn_thumb_pressed", "任一张"}),
    // The stop button takes the play button's place while the show runs.
    BarButton(6, {"btn_stop_normal", "btn_stop_hover", "btn_stop_pressed", "停止自动播放 (空格)"},
              StartsHidden | StartsDisabled),
    {.element = E::PhotoNameLabel, .name = "photoNameLabel", .label = true, .ink = kBlack,
     .back = kAnyPhotoBack, .flags = StartsHidden},

    // The small tool buttons of the quick-effect strip, each at its own place on the track.
    {.element = E::QuickButton, .name = "quickButton", .count = kQuickButtons, .role = R::QuickButton,
     .size = {16, 16}},

    {.element = E::BottomGrip, .name = "bottomGrip", .role = R::Grip, .cursor = Qt::SizeVerCursor,
     .flags = LockedByShow | HiddenWhenMaximised},
    {.element = E::RightGrip, .name = "rightGrip", .role = R::Grip, .cursor = Qt::SizeHorCursor,
     .flags = LockedByShow | HiddenWhenMaximised},
    {.element = E::CornerGrip, .name = "cornerGrip", .role = R::Grip,
     .size = {kCornerGripSize, kCornerGripSize}, .looks = {"grip"}, .cursor = Qt::SizeFDiagCursor},

    // The finished logo is the maker's signature: a click on it writes to us.
    {.element = E::LogoFrame, .name = "logoFrame", .count = 29, .size = {33, 31}, .looks = {"logo_%1"},
     .flags = StartsHidden | SizedByPicture},
    {.element = E::LogoFrame, .name = "logoFrame", .click = C::MakerMail, .size = {33, 31},
     .looks = {"logo_%1", nullptr, nullptr, "澄影集 — 照片与时光"}, .flags = StartsHidden | SizedByPicture},
};

template <typename T, size_t N>
ElementPlace Move(const std::array<T, N>& places, int index)
{
    if (index < 0 || size_t(index) >= N)
        return {};
    return {ElementPlace::How::Move, QRect(places[size_t(index)], QSize())};
}

ElementPlace Move(const QPoint& p) { return {ElementPlace::How::Move, QRect(p, QSize())}; }
ElementPlace Set(const QRect& r) { return {ElementPlace::How::Set, r}; }

}  // namespace

std::span<const SkinElementEntry> SkinElements() { return kElements; }

int ElementCount(SkinElement element)
{
    int n = 0;
    for (const SkinElementEntry& e : kElements)
        if (e.element == element)
            n += e.count;
    return n;
}

QString PictureName(const char* name, int index)
{
    const QString n = QString::fromUtf8(name);
    return n.contains(QStringLiteral("%1")) ? n.arg(index, 2, 10, QLatin1Char('0')) : n;
}

QStringList SkinPictureNames()
{
    QStringList names;
    std::array<int, size_t(SkinElement::LogoFrame) + 1> first{};
    for (const SkinElementEntry& e : kElements) {
        int& index = first[size_t(e.element)];
        for (const ElementLooks& l : {e.looks, e.maximised})
            for (const char* name : {l.normal, l.hover, l.pressed})
                for (int i = index; name && i < index + e.count; ++i)
                    if (const QString n = PictureName(name, i); !names.contains(n))
                        names << n;
        index += e.count;
    }
    return names;
}

ElementPlace PlaceOf(const FormLayout& L, SkinElement element, int index)
{
    switch (element) {
    case E::TitleBar: return Set(L.titleBar);
    case E::TitleIcon: return Move(L.icon);
    case E::TitleLabel: return Move(L.titleLabel);
    case E::MinimiseButton: return Move(L.minimiseButton);
    case E::MaximiseButton: return Move(L.maximiseButton);
    case E::CloseButton: return Move(L.closeButton);
    case E::MenuLabel: return Move(L.menuLabels, index);
    case E::AboutButton: return Move(L.aboutButton);
    case E::HelpButton: return Move(L.helpButton);
    case E::Badge: return Move(L.badge);
    case E::InfoLabel: return Move(L.infoLabel);
    case E::BarButton: return Move(L.barButtons, index);
    case E::PhotoNameLabel: return Move(L.photoNameLabel);
    case E::QuickButton: return Move(L.quickButtons, index);
    case E::BottomGrip: return Set(L.bottomGrip);
    case E::RightGrip: return Set(L.rightGrip);
    case E::CornerGrip: return Move(L.cornerGrip);
    case E::MusicLabel:
    case E::CountLabel:
    case E::LogoFrame: return {};
    }
    return {};
}

}  // namespace tamsel
