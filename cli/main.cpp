// ombrix-cli: the solver, the puzzle formats and the board's pictures from the
// command line. One table lists the subcommands; --help prints it.
#include "commands.h"

#include <cstring>
#include <iostream>

namespace ombrix::cli {
namespace {

const Command kCommands[] = {
    {"solve", "solve FILE [--dump] [--trace] [--out OUT.omx]",
     "Run the automatic solver once on a puzzle (grid text or .omx) and print\n"
     "the outcome message and the board (clues [n], area cells n, # black,\n"
     "o white dot, . undecided). --dump prints 'status S', 'alt X Y',\n"
     "'undecided N' and one line of state codes per row instead. --trace\n"
     "prints each rule run that changed the board. --out saves the solved\n"
     "board as a puzzle file, as the editor saves it after its automatic\n"
     "solver. A .omx file that is damaged or ends early is an error.",
     RunSolve},
    {"convert", "convert IN OUT",
     "Convert grid text to a .omx puzzle file (a fresh board in the edit\n"
     "phase) or a .omx file to grid text (its clues and given black cells),\n"
     "chosen by the extensions: exactly one of IN and OUT ends in .omx.",
     RunConvert},
    {"export-text", "export-text IN OUT.txt",
     "Write the text export of a puzzle (grid text or .omx) as it stands: a\n"
     "Shift_JIS drawing in box-drawing characters with CR LF line ends.",
     RunExportText},
    {"check", "check PUZZLE",
     "Check a puzzle as it stands (a .omx file mid-solve, or grid text) against\n"
     "the rules: one line per violation, its name and the offending cells as\n"
     "x,y counted from 1 (black-block, black-divided, area-without-number,\n"
     "area-two-numbers, area-too-large, area-too-small, areas-touch,\n"
     "number-mismatch), or 'ok' when there is none, then 'solved' when moreover\n"
     "every cell is decided. Only what no later decision can mend is named.",
     RunCheck},
    {"generate",
     "generate [--rules ombrix|tandrel] [--size WxH] [--seed N] [--max-area N] [--solution SOL] "
     "[OUT.grid]",
     "Make a random puzzle with a valid solution (areas apart, black cells\n"
     "connected, no 2 x 2 black block under Ombrix) and one clue per area;\n"
     "the same seed gives the same puzzle. Writes grid text to OUT (or\n"
     "standard output) and the painting to SOL. The puzzle may have more than\n"
     "one solution.",
     RunGenerate},
#ifdef OMBRIX_HAVE_QT
    {"print", "print FILE OUT.pdf",
     "Write the printed page of a puzzle (grid text or .omx) as a one-page A4\n"
     "PDF: the title, the framed cells, clues in blue, area numbers in green,\n"
     "black cells. The file is replaced only when the new one is complete.",
     RunPrint},
    {"render", "render FILE OUT.png",
     "Paint the editor's whole layout of a puzzle (grid text or .omx) into a\n"
     "PNG of (27W + 220) x max(27H + 120, 310) pixels, exactly as the window\n"
     "shows it: banner, status message, cells, number bar, buttons and label of\n"
     "the phase the file holds.",
     RunRender},
#endif
};

void PrintHelp(std::ostream& out) {
    out << "usage: ombrix-cli COMMAND [ARGS]\n\n"
           "Commands:\n";
    for (const Command& c : kCommands) {
        out << "  ombrix-cli " << c.usage << "\n";
        std::string help = c.help;
        std::size_t pos = 0;
        while (pos < help.size()) {
            std::size_t end = help.find('\n', pos);
            if (end == std::string::npos) end = help.size();
            out << "      " << help.substr(pos, end - pos) << "\n";
            pos = end + 1;
        }
        out << "\n";
    }
    out << "Exit status: 0 success (whatever the solver's outcome), 1 bad usage,\n"
           "2 a file that cannot be read, parsed or written.\n";
}

} // namespace
} // namespace ombrix::cli

int main(int argc, char** argv) {
    using namespace ombrix::cli;
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0 ||
        std::strcmp(argv[1], "help") == 0) {
        PrintHelp(std::cout);
        return argc < 2 ? 1 : 0;
    }
    for (const Command& c : kCommands) {
        if (std::strcmp(argv[1], c.name) != 0) continue;
        Args args(argv + 2, argv + argc);
        for (const std::string& a : args) {
            if (a == "--help" || a == "-h") {
                std::cout << "usage: ombrix-cli " << c.usage << "\n" << c.help << "\n";
                return 0;
            }
        }
        return c.run(args);
    }
    std::cerr << "ombrix-cli: unknown command '" << argv[1] << "' (see ombrix-cli --help)\n";
    return 1;
}
