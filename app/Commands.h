#pragma once
#include "model/AlbumView.h"

#include <span>

namespace tamsel {

class AlbumApp;

// The three pop-up menus.
enum class MenuId { Photo, Out, Treat };

// The items of a pop-up menu, separators included, in their order.
std::span<const MenuItem> MenuItems(MenuId menu);

// One command: what the menus call it, what runs it, and whether it works in
// a dialog of the window (without one it says so rather than doing nothing).
struct CommandEntry {
    Command command;
    const char* caption;
    Outcome (AlbumApp::*handler)();
    bool needsWindow;
    // The key that runs it from the window, as QKeySequence reads it; nullptr: none.
    const char* shortcut = nullptr;
};

// The command table: every command the menus reach, once.
std::span<const CommandEntry> CommandTable();
// The entry of a command; nullptr for None and any command not in the table.
const CommandEntry* FindCommand(Command command);
// The caption of a command, "" for none.
QString CommandCaption(Command command);
// The menu-bar label (0 "照片", 1 "修饰", 3 "输出") whose menu holds the
// command; -1 for none. A shortcut works while that label does.
int MenuLabelOf(Command command);
// Whether a menu-bar label opens a menu rather than acting at once.
bool LabelOpensMenu(int label);

}  // namespace tamsel
