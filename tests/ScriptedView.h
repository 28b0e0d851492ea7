#pragma once
// The one scripted view of the tests: it records what the album shows and
// answers the album's questions as each test scripts them.
#include "model/AlbumView.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <span>
#include <vector>

namespace tamsel::testing {

struct ScriptedView : AlbumView {
    // What was shown.
    QStringList infos;          // every text of the info line, in order
    QString info;               // the last one
    int beeps = 0;              // with the info line
    QString musicText;
    int musicBeeps = 0;
    int refreshes = 0, steps = 0, closes = 0;
    int btnState = -1;          // last SetBtnState: 1 enabled, 0 disabled
    int stopShown = -1;         // last ShowStopButton: 1 the stop button, 0 the play button
    int labelsEnabled = 0;      // how often the album labels were enabled

    void ShowInfo(const QString& text, bool beep) override
    {
        infos << text;
        info = text;
        beeps += beep;
    }
    void SetMusicText(const QString& text, bool beep) override
    {
        musicText = text;
        musicBeeps += beep;
    }
    void RefreshInfoLine() override { ++refreshes; }
    void SetBtnState(bool enabled) override { btnState = enabled; }
    void ShowStopButton(bool running) override { stopShown = running; }
    void EnableAlbumLabels() override { ++labelsEnabled; }
    void RequestStep() override { ++steps; }
    void CloseWindow() override { ++closes; }

    // The file dialog: answer is the file it "chooses"; every question is kept.
    QString answer;
    QStringList asked;          // the titles
    QList<FileQuestion> questions;
    QString AskFile(const FileQuestion& q) override
    {
        asked << q.title;
        questions << q;
        return answer;
    }

    // The pop-up menus: each takes the next of menuChoices (none: dismissed).
    std::vector<int> menuChoices;
    std::vector<std::span<const MenuItem>> menus;
    Command PopUpMenu(std::span<const MenuItem> items, int) override
    {
        menus.push_back(items);
        const int code = menuChoices.empty() ? 0 : menuChoices.front();
        if (!menuChoices.empty())
            menuChoices.erase(menuChoices.begin());
        return Command(code);
    }

    // The window's dialogs, when a test gives them.
    bool dialogs = false;
    std::function<BatchDialogResult(Command)> batch;
    QStringList batchFolders;
    QString saveAsName;
    bool HasDialogs() const override { return dialogs; }
    BatchDialogResult RunBatchDialog(Command which, const QString& workFolder,
                                     const QString& albumFolder) override
    {
        batchFolders << workFolder << albumFolder;
        return batch ? batch(which) : BatchDialogResult{Outcome::Done(), workFolder, false, {}};
    }
    QString AskSaveAsName(const QString&) override { return saveAsName; }
};

}  // namespace tamsel::testing
