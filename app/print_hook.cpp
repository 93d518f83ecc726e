// Plugs the printing module's commands into the command routing: printer
// setup is the application's, printing and preview are the view's.
#include "commands.h"

#include "main_frame.h"
#include "ombrix_view.h"
#include "print_commands.h"

namespace ombrix {

void RegisterPrintCommands(CommandRegistry& registry) {
    auto run = [](int id) {
        return [id](CommandContext& c) { RunPrintCommand(id, c.view.board(), &c.frame); };
    };
    registry.app[kCommandPrintSetup] = run(kCommandPrintSetup);
    registry.view[kCommandPrint] = run(kCommandPrint);
    registry.view[kCommandPrintDirect] = run(kCommandPrintDirect);
    registry.view[kCommandPrintPreview] = run(kCommandPrintPreview);
}

} // namespace ombrix
