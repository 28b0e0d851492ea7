#include "album/Drops.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tamsel;

// What each drop opens on the window (its first item that can) and adds to
// the tune list (its music files); a refusal names the first item.
TEST(Drops, TheFirstItemThatOpensIsTakenAndTheRestNamed)
{
    QTemporaryDir d;
    const QDir dir(d.path());
    dir.mkdir("album");
    for (const char* f : {"a.JPG", "show.TMS", "tune.mp3", "song.flac", "notes.txt", "p.heic"})
        QFile(dir.filePath(f)).open(QIODevice::WriteOnly);
    const auto url = [&](const char* name) { return QUrl::fromLocalFile(dir.filePath(name)); };
    const QUrl web("https://example.com/b.jpg");
    struct Case {
        QList<QUrl> urls;
        const char* opens;       // "" when nothing does
        const char* tunes;       // the tunes added, by name, "," between
        const char* named;       // the item the tune list's refusal names
    } cases[] = {
        {{url("album")}, "album", "", "album"},
        {{url("a.JPG")}, "a.JPG", "", "a.JPG"},
        {{url("show.TMS")}, "show.TMS", "", "show.TMS"},
        {{url("p.heic")}, "p.heic", "", "p.heic"},
        {{url("tune.mp3"), url("song.flac")}, "", "tune.mp3,song.flac", ""},
        {{url("notes.txt"), url("gone.jpg"), web}, "", "", "notes.txt"},
        {{url("notes.txt"), url("tune.mp3"), url("show.TMS"), url("album")}, "show.TMS", "tune.mp3", "notes.txt"},
    };
    for (const Case& c : cases) {
        const DropOpening open = WhatDropOpens(c.urls);
        const DroppedTunes tunes = TunesDropped(c.urls);
        SCOPED_TRACE(c.urls.constFirst().fileName().toStdString());
        EXPECT_EQ(open.path, *c.opens ? dir.filePath(c.opens) : QString());
        if (!*c.opens)
            EXPECT_EQ(open.refusal, QStringLiteral("  无法打开拖入的项目: ") + c.urls.constFirst().fileName());
        QStringList names;
        for (const QString& t : tunes.tunes)
            names << QFileInfo(t).fileName();
        EXPECT_EQ(names.join(','), QString::fromUtf8(c.tunes));
        EXPECT_EQ(tunes.refusal, *c.named ? QStringLiteral("  无法加入拖入的项目: ") + c.named : QString());
    }
}
