// The command table: every command of the menu bar and the key table, one
// entry each, in menu order: its id, menu text, keys, whether it may run while
// the automatic solver works, and its handler. The frame builds its menus and
// shortcuts from it and runs a command by looking its id up here; an id
// without a handler does nothing. Adding a command is one id below and one
// entry in commands.cpp.
#pragma once

#include <span>

class QAction;

namespace ombrix {

class CMainFrame;
class COmbrixView;

// The command ids. Puzzle files and tests rely on none of them changing.
enum CommandId : int {
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_SAVE = 57603,
    ID_FILE_SAVE_AS = 57604,
    ID_FILE_PRINT_SETUP = 57606,
    ID_FILE_PRINT = 57607,
    ID_FILE_PRINT_DIRECT = 57608, // no menu entry or key
    ID_FILE_PRINT_PREVIEW = 57609,
    ID_FILE_MRU_FILE1 = 57616, // the recent files' submenu
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
    ID_TOOLS_ANALYZE = 32779,
    ID_FILE_SAVE_AS_NAMED = 32790,
    ID_VIEW_ZOOM_IN = 32791,
    ID_VIEW_ZOOM_OUT = 32792,
    ID_VIEW_ZOOM_RESET = 32793,
    ID_VIEW_ZOOM_FIT = 32794,
    ID_TOOLS_CHECK = 32795,
    ID_TOOLS_HINT = 32796,
    ID_TOOLS_GENERATE = 32797,
    ID_FILE_COLLECTION = 32798,
};

// What a handler works on.
struct CommandContext {
    CMainFrame& frame;
    COmbrixView& view;
};

// While the automatic solver works the board is half made: only the commands
// that neither change nor write it run.
enum class WhileSolving : bool { Waits, Runs };

struct CommandEntry {
    int id;           // 0: a separator of `menu`
    const char* name; // ID_...
    const char* menu; // the menu-bar entry it stands in; null: keys only
    const char* text; // the item's text; null: `menu` itself is the command
    const char* keys; // accelerators, ';'-separated, or null
    WhileSolving whileSolving;
    void (*handler)(CommandContext&);          // null: nothing happens
    void (*update)(CommandContext&, QAction*); // sets the check mark, or null
};

// Every command, in menu order; the ids are unique (checked where the table
// is written).
std::span<const CommandEntry> Commands();
// The entry of command `id`, or null.
const CommandEntry* FindCommand(int id);

} // namespace ombrix
