// The command table: every command of the menu bar and the accelerator table
// with its id, menu text, keys and handler, in menu order. The frame builds
// its menus and shortcuts from it and routes a command to the view's handler
// first, then the application's; an id with neither does nothing.
#pragma once

#include <functional>
#include <map>

class QAction;

namespace ombrix {

class COmbrixApp;
class CMainFrame;
class COmbrixView;

enum CommandId : int {
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_SAVE = 57603,
    ID_FILE_SAVE_AS = 57604,
    ID_FILE_MRU_FILE1 = 57616, // the recent files' submenu
    ID_FILE_PRINT_SETUP = 57606,
    ID_FILE_PRINT = 57607,
    ID_FILE_PRINT_DIRECT = 57608,
    ID_FILE_PRINT_PREVIEW = 57609,
    ID_EDIT_COPY = 57634,
    ID_EDIT_CUT = 57635,
    ID_EDIT_PASTE = 57637,
    ID_EDIT_UNDO = 57643,
    ID_EDIT_REDO = 57644,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_NEXT_PANE = 57680,
    ID_PREV_PANE = 57681,
    ID_SIZE_CHANGE = 32771,
    ID_HELP_OMBRIX_RULES = 32772,
    ID_HELP_EDIT_OPERATION = 32773,
    ID_HELP_SOLVE_OPERATION = 32774,
    ID_FILE_SAVE_TEXT = 32775,
    ID_RULESET_OMBRIX = 32776,
    ID_RULESET_TANDREL = 32777,
    ID_HELP_TANDREL_RULES = 32778,
    ID_FILE_SAVE_AS_NAMED = 32790,
    ID_VIEW_ZOOM_IN = 32791,
    ID_VIEW_ZOOM_OUT = 32792,
    ID_VIEW_ZOOM_RESET = 32793,
    ID_VIEW_ZOOM_FIT = 32794,
    ID_TOOLS_ANALYZE = 32779,
    ID_TOOLS_CHECK = 32795,
    ID_TOOLS_HINT = 32796,
    ID_TOOLS_GENERATE = 32797,
    ID_FILE_COLLECTION = 32798,
};

// What a handler works on.
struct CommandContext {
    COmbrixApp* app;
    CMainFrame& frame;
    COmbrixView& view;
};

enum class Route { None, View, App };

struct CommandEntry {
    int id;           // 0: a separator of `menu`
    const char* name; // ID_...
    const char* menu; // the menu-bar entry it stands in; null: keys only
    const char* text; // the item's text; null: `menu` itself is the command
    const char* keys; // accelerators, ';'-separated, or null
    Route route;      // who handles it
    void (*handler)(CommandContext&);
    void (*update)(CommandContext&, QAction*); // sets the check mark, or null
};

// Every command, in menu order.
extern const CommandEntry kCommands[];
extern const int kCommandCount;

// Handlers by id, looked up view first, then application. Filled from
// kCommands; the printing commands are added by RegisterPrintCommands where
// the printing module is built in.
struct CommandRegistry {
    using Handler = std::function<void(CommandContext&)>;
    std::map<int, Handler> view;
    std::map<int, Handler> app;
};

// Adds the handlers of the printing commands (57606 to the application,
// 57607, 57608, 57609 to the view). Defined in print_hook.cpp, built only
// with the printing module.
void RegisterPrintCommands(CommandRegistry& registry);

} // namespace ombrix
