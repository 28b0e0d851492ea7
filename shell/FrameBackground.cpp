#include "shell/FrameBackground.h"

#include "imaging/Blit.h"

#include <cstring>

namespace tamsel {

Surface PaintFrame(const Surface& skin, const FormLayout& L, int ratio)
{
    Surface back;
    const int W = ratio * L.ClientW;
    const int H = ratio * L.ClientH;
    if (L.ClientW <= 0 || L.ClientH <= 0 || !back.Create(W, H))
        return back;
    // The background colour is grey, the same value in all three bytes.
    for (int y = 0; y < H; ++y)
        std::memset(back.RowPtr(y), qRed(kFrameBackColour), size_t(W) * 3);
    if (!skin.HasPixels())
        return back;
    for (const SkinPiece& p : L.skin) {
        const QRect d(p.dst.topLeft() * ratio, p.dst.size() * ratio);
        const QRect s(p.src.topLeft() * ratio, p.src.size() * ratio);
        if (d.size() == s.size())
            BitBlt(back, d.x(), d.y(), d.width(), d.height(), skin, s.x(), s.y());
        else
            StretchBlt(back, d.x(), d.y(), d.width(), d.height(), skin, s.x(), s.y(), s.width(),
                       s.height());
    }
    return back;
}

std::vector<QRect> AroundPhotoArea(const FormLayout& L)
{
    const QRect whole(0, 0, L.ClientW, L.ClientH);
    const QRect hole = L.photoArea.intersected(whole);
    if (hole.isEmpty())
        return whole.isEmpty() ? std::vector<QRect>{} : std::vector<QRect>{whole};
    std::vector<QRect> pieces;
    for (const QRect& r : {QRect(0, 0, whole.width(), hole.top()),
                           QRect(0, hole.bottom() + 1, whole.width(), whole.height() - hole.bottom() - 1),
                           QRect(0, hole.top(), hole.left(), hole.height()),
                           QRect(hole.right() + 1, hole.top(), whole.width() - hole.right() - 1,
                                 hole.height())})
        if (!r.isEmpty())
            pieces.push_back(r);
    return pieces;
}

}  // namespace tamsel
