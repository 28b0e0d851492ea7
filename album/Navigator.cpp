#include "album/Navigator.h"

#include "model/AlbumState.h"
#include "model/AlbumView.h"
#include "model/PhotoList.h"

#include <QFileInfo>

#include <algorithm>

namespace tamsel {

Navigator::Navigator(const AlbumState& state, PhotoPosition& position, MainState& main,
                     PhotoList& photos, AlbumView& view)
    : s_(state), pos_(position), m_(main), photos_(photos), view_(view)
{
}

void Navigator::Restart()
{
    pos_.curPhoto_ = 0;
    pos_.coverShowing_ = true;
}

bool Navigator::AdvanceShow()
{
    if (pos_.curPhoto_ < photos_.Count() - 1)
        pos_.curPhoto_ += 1;
    else if (s_.LoopShow)
        pos_.curPhoto_ = 0;
    else
        return false;
    return true;
}

void Navigator::ShowPhoto(int i)
{
    pos_.curPhoto_ = std::clamp(i, 0, std::max(photos_.Count() - 1, 0));
    pos_.coverShowing_ = false;
}

void Navigator::LeaveCover() { pos_.coverShowing_ = false; }

void Navigator::ShowCover() { pos_.coverShowing_ = true; }

bool Navigator::FilesChanged(const QString& currentName)
{
    const int i = currentName.isEmpty() ? -1 : photos_.IndexOf(currentName);
    if (i >= 0)
        pos_.curPhoto_ = i;
    else if (pos_.curPhoto_ >= photos_.Count())
        pos_.curPhoto_ = 0;
    return i >= 0 || currentName.isEmpty();
}

void Navigator::AdvancePhoto(bool startShow)
{
    if (pos_.coverShowing_)
        pos_.coverShowing_ = false;
    else
        pos_.curPhoto_ += m_.NavStep;
    if (startShow)
        m_.StartShow();
    m_.SetView(View::BringingIn);
    m_.RequestPhoto();
    m_.MarkLabelsDirty();
}

bool Navigator::BtnClick(int index)
{
    m_.EndShow();
    const int count = photos_.Count();
    if (count < 1) {
        view_.ShowInfo(QString::fromUtf8(kNoFolderMessage), true);
        return false;
    }
    const int last = count - 1;
    // A position left over from another folder would name a photo that is not
    // there; the album starts from its first photo instead.
    if (pos_.curPhoto_ < 0 || pos_.curPhoto_ > last)
        pos_.curPhoto_ = 0;
    const bool cover = pos_.coverShowing_;

    switch (index) {
    case Play:
        if (pos_.curPhoto_ < last || s_.LoopShow == 1) {
            view_.SetBtnState(false);
            view_.ShowStopButton(true);
            m_.NavStep = 1;
            // On the last photo a looping show goes round to the first at once
            // rather than past the end of the list.
            if (!cover && pos_.curPhoto_ >= last) {
                pos_.curPhoto_ = 0;
                m_.NavStep = 0;
            }
            AdvancePhoto(true);
            return true;
        }
        return false;
    case First:
        // Under the cover the buttons that name a photo bring that photo in,
        // even when the position already stands on it.
        if (pos_.curPhoto_ >= 1 || cover) {
            pos_.curPhoto_ = 0;
            m_.NavStep = 0;
            AdvancePhoto(false);
            return true;
        }
        return false;
    case Previous:
        if (pos_.curPhoto_ >= 1) {
            pos_.coverShowing_ = false;
            m_.NavStep = -1;
            AdvancePhoto(false);
            return true;
        }
        return false;
    case Next:
        if (pos_.curPhoto_ < last || cover) {
            m_.NavStep = 1;
            AdvancePhoto(false);
            return true;
        }
        return false;
    case Last:
        if (pos_.curPhoto_ < last || cover) {
            pos_.curPhoto_ = last;
            m_.NavStep = 0;
            AdvancePhoto(false);
            return true;
        }
        return false;
    case Stop:
        view_.SetBtnState(true);
        view_.ShowStopButton(false);
        m_.RequestStop();
        return false;
    default:
        return false;
    }
}

void Navigator::ThumbOver(int i)
{
    const int count = photos_.Count();
    if (count > 0)
        pos_.curPhoto_ = i < 0 ? 0 : i >= count ? count - 1 : i;
}

void Navigator::ThumbReleased()
{
    if (pos_.coverShowing_ || photos_.Count() < 1) {
        BtnClick(Next);
    } else {
        m_.SetView(View::BringingIn);
        // Asked for explicitly: a release during a pan would otherwise find the
        // load flag cleared and leave the old photo on the screen.
        m_.RequestPhoto();
    }
    m_.MarkLabelsDirty();
}

void Navigator::BeginFolderChoice()
{
    pos_.coverShowing_ = true;
    rememberedFolder_ = photos_.Folder();
}

FolderChange Navigator::FolderChosen(const QString& path)
{
    if (path.isEmpty())
        return FolderChosen(QString(), QString());
    // The folder is what comes before the file name at the end of the path;
    // a folder whose own name contains the file name must not cut it short.
    const QFileInfo fi(path);
    return FolderChosen(WithTrailingSlash(fi.absolutePath()), fi.fileName());
}

FolderChange Navigator::FolderChosen(const QString& folder, const QString& title)
{
    if (folder.isEmpty()) {
        // Cancelled: the album keeps its folder.
        if (rememberedFolder_.isEmpty()) {
            m_.SetView(View::Cover);
            view_.ShowInfo(QString::fromUtf8(kNoFolderChosenMessage), true);
        }
        return FolderChange::None;
    }
    const QString newFolder = WithTrailingSlash(folder);
    FolderChange change = FolderChange::None;
    if (newFolder != rememberedFolder_) {
        m_.EndShow();
        photos_.Point(newFolder);
        pos_.curPhoto_ = 0;
        view_.EnableAlbumLabels();
        change = FolderChange::NewFolder;
    } else if (!photos_.Listed()) {
        // The same folder, but it was away when it was last listed (at
        // start-up, say): list it again and keep the captions.
        photos_.Point(newFolder);
        change = FolderChange::Relisted;
    }
    const int i = title.isEmpty() ? -1 : photos_.IndexOf(title);
    if (i >= 0)
        pos_.curPhoto_ = i;
    BtnClick(Next);
    return change;
}

}  // namespace tamsel
