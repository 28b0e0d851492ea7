#pragma once
#include <QDropEvent>

namespace tamsel {

// Takes a drag of files as a copy (or a link), never as a move: the album
// reads the files where they lie, and a file manager that was told "moved"
// would delete them. False when the drag offers neither.
inline bool TakeAsCopy(QDropEvent* e)
{
    for (const Qt::DropAction a : {Qt::CopyAction, Qt::LinkAction})
        if (e->possibleActions() & a) {
            e->setDropAction(a);
            e->accept();
            return true;
        }
    e->ignore();
    return false;
}

}  // namespace tamsel
