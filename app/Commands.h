#pragma once
#include "model/AlbumView.h"
#include "model/Outcome.h"

#include <functional>
#include <map>
#include <span>

namespace tamsel {

// The three pop-up menus. A menu item only leaves its code in CmdCode; the
// code that opened the menu then hands CmdCode to the dispatcher.
enum class MenuId { Photo, Out, Treat };

std::span<const MenuItem> MenuItems(MenuId menu);

// The caption of the item with this code in any menu, "" for none.
QString CommandCaption(int code);

// The command table: each code the menus can leave, and what it does. Codes
// without a handler (0 above all: a menu closed without a choice) do nothing.
class CommandDispatcher {
public:
    using Handler = std::function<Outcome()>;

    void Set(int code, Handler handler) { table_[code] = std::move(handler); }
    bool Has(int code) const { return table_.count(code) != 0; }
    // Runs the command and returns when it is complete, modal dialogs included.
    Outcome DoCommand(int code) const;

private:
    std::map<int, Handler> table_;
};

}  // namespace tamsel
