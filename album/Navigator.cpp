#include "album/Navigator.h"

#include "model/AlbumState.h"
#include "model/AlbumView.h"
#include "model/PhotoList.h"

#include <QFileInfo>

namespace tamsel {

Navigator::Navigator(AlbumState& state, MainState& main, PhotoList& photos, AlbumView& view)
    : s_(state), m_(main), photos_(photos), view_(view)
{
}

void Navigator::AdvancePhoto(bool startShow)
{
    if (s_.CoverShowing)
        s_.CoverShowing = false;
    else
        s_.CurPhoto += m_.NavStep;
    if (startShow)
        m_.ShowRunning = 1;
    m_.ViewMode = View::BringingIn;
    m_.NewPhoto = 1;
    m_.LabelsDirty = 1;
}

bool Navigator::BtnClick(int index)
{
    s_.CmdCode = 0;
    m_.ShowRunning = 0;
    if (s_.PhotoCount < 1) {
        view_.ShowInfo(QString::fromUtf8(kNoFolderMessage), true);
        return false;
    }
    const int last = s_.PhotoCount - 1;
    // A position left over from another folder would name a photo that is not
    // there; the album starts from its first photo instead.
    if (s_.CurPhoto < 0 || s_.CurPhoto > last)
        s_.CurPhoto = 0;
    const bool cover = s_.CoverShowing;

    switch (index) {
    case Play:
        if (s_.CurPhoto < last || s_.LoopShow == 1) {
            view_.SetBtnState(false);
            view_.ShowStopButton(true);
            m_.NavStep = 1;
            // On the last photo a looping show goes round to the first at once
            // rather than past the end of the list.
            if (!cover && s_.CurPhoto >= last) {
                s_.CurPhoto = 0;
                m_.NavStep = 0;
            }
            AdvancePhoto(true);
            return true;
        }
        return false;
    case First:
        // Under the cover the buttons that name a photo bring that photo in,
        // even when the position already stands on it.
        if (s_.CurPhoto >= 1 || cover) {
            s_.CurPhoto = 0;
            m_.NavStep = 0;
            AdvancePhoto(false);
            return true;
        }
        return false;
    case Previous:
        if (s_.CurPhoto >= 1) {
            s_.CoverShowing = false;
            m_.NavStep = -1;
            AdvancePhoto(false);
            return true;
        }
        return false;
    case Next:
        if (s_.CurPhoto < last || cover) {
            m_.NavStep = 1;
            AdvancePhoto(false);
            return true;
        }
        return false;
    case Last:
        if (s_.CurPhoto < last || cover) {
            s_.CurPhoto = last;
            m_.NavStep = 0;
            AdvancePhoto(false);
            return true;
        }
        return false;
    case Stop:
        view_.SetBtnState(true);
        view_.ShowStopButton(false);
        m_.StopRequested = 1;
        return false;
    default:
        return false;
    }
}

void Navigator::ThumbOver(int i)
{
    if (s_.PhotoCount > 0)
        s_.CurPhoto = i < 0 ? 0 : i >= s_.PhotoCount ? s_.PhotoCount - 1 : i;
}

void Navigator::ThumbReleased()
{
    if (s_.CoverShowing || s_.PhotoCount < 1) {
        BtnClick(Next);
    } else {
        m_.ViewMode = View::BringingIn;
        // Asked for explicitly: a release during a pan would otherwise find the
        // load flag cleared and leave the old photo on the screen.
        m_.NewPhoto = 1;
    }
    m_.LabelsDirty = 1;
}

void Navigator::BeginFolderChoice()
{
    s_.CoverShowing = true;
    rememberedFolder_ = s_.PhotoFolder;
}

void Navigator::FolderChosen(const QString& path)
{
    if (path.isEmpty()) {
        FolderChosen(QString(), QString());
        return;
    }
    // The folder is what comes before the file name at the end of the path;
    // a folder whose own name contains the file name must not cut it short.
    const QFileInfo fi(path);
    FolderChosen(WithTrailingSlash(fi.absolutePath()), fi.fileName());
}

void Navigator::FolderChosen(const QString& folder, const QString& title)
{
    if (folder.isEmpty()) {
        s_.PhotoFolder = rememberedFolder_;
        if (s_.PhotoFolder.isEmpty()) {
            m_.ViewMode = View::Cover;
            view_.ShowInfo(QString::fromUtf8(kNoFolderChosenMessage), true);
        }
        return;
    }
    const QString newFolder = WithTrailingSlash(folder);
    if (newFolder != rememberedFolder_) {
        m_.ShowRunning = 0;
        s_.PhotoFolder = newFolder;
        photos_.Point(newFolder);
        s_.PhotoCount = photos_.Count();
        s_.PhotoCaption = QStringList();
        s_.PhotoCaption.resize(s_.PhotoCount + 1);
        s_.CurPhoto = 0;
        view_.EnableAlbumLabels();
    } else if (photos_.Folder() != newFolder) {
        // The same folder, but its list was lost (the folder was away at
        // start-up): list it again and keep the captions.
        s_.PhotoFolder = newFolder;
        photos_.Point(newFolder);
        s_.PhotoCount = photos_.Count();
        if (s_.PhotoCaption.size() < s_.PhotoCount + 1)
            s_.PhotoCaption.resize(s_.PhotoCount + 1);
    }
    const int i = title.isEmpty() ? -1 : photos_.IndexOf(title);
    if (i >= 0)
        s_.CurPhoto = i;
    BtnClick(Next);
}

}  // namespace tamsel
