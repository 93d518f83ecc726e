// ombrix-cli: the solver, the puzzle formats and the board's pictures from the
// command line. One table lists the subcommands; --help prints it.
#include "commands.h"
#include "grid_text.h" // QuoteForMessage
#include "version.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <system_error>

namespace ombrix::cli {
namespace {

const Command kCommands[] = {
    {"solve", "solve FILE [--dump | --trace] [--out OUT.omx]",
     "Run the automatic solver once on a puzzle (grid text or .omx) and print\n"
     "the outcome message and the board (clues [n], area cells n, # black,\n"
     "o white dot, . undecided). --dump prints 'status S', 'alt X Y',\n"
     "'undecided N' and one line of state codes per row instead. --trace\n"
     "prints each rule run that changed the board (not with --dump). --out\n"
     "saves the solved board as a puzzle file, as the editor saves it after\n"
     "its automatic solver. A .omx file that is damaged or ends early is an\n"
     "error.",
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
    {"hint", "hint PUZZLE",
     "The next step from a puzzle as it stands (a .omx file mid-solve, or grid\n"
     "text). Prints 'rule NAME' (the first rule of the solver's table that\n"
     "decides a cell the puzzle leaves undecided, named as --trace names it;\n"
     "PrepareBoard: cells the clues alone decide), 'error NAME' (the board\n"
     "breaks a rule, named as check names it, or leads to a contradiction),\n"
     "'trial' (only a hypothesis that fails decides the cell), 'solved' or\n"
     "'none'; then 'why SENTENCE' (the reason in Japanese), then one line\n"
     "'x y black' or 'x y white' per cell the step decides (for an error, per\n"
     "offending cell as it stands), counted from 1.",
     RunHint},
    {"generate",
     "generate [--rules ombrix|tandrel] [--size WxH] [--seed N] [--max-area N] [--solution SOL] "
     "[OUT.grid]\n"
     "  ombrix-cli generate --unique [--grade G] [--rules ombrix|tandrel] [--size WxH] [--seed N] "
     "[--count K] [--symmetric] [--limit-seconds S] [--threads T] [OUT]",
     "Make a random puzzle with a valid solution (areas apart, black cells\n"
     "connected, no 2 x 2 black block under Ombrix) and one clue per area;\n"
     "the same seed gives the same puzzle. Writes grid text to OUT (or\n"
     "standard output) and the painting to SOL. The puzzle may have more than\n"
     "one solution.\n"
     "--unique makes puzzles with exactly one solution instead (few clues,\n"
     "settled by the automatic solver and proven by the complete analysis): --grade G asks for grade 1..4 (else\n"
     "any of 1..3), --symmetric places the clues with 180-degree rotational\n"
     "symmetry, --count K writes K puzzles of seeds N, N+1, ... to OUT with\n"
     "-1, -2, ... before its extension. OUT ending in .omx gets a puzzle file.\n"
     "It gives up with exit status 2 when a puzzle takes longer than\n"
     "--limit-seconds S (120 unless given). --threads T runs attempts on T\n"
     "threads (2 unless given); the puzzles are the same for any T.",
     RunGenerate},
    {"collection", "collection SEEDS OUTDIR [--only NAME]",
     "Make the puzzles of a seed list again (one line each: NAME RULES WxH\n"
     "GRADE SEED [symmetric]; see res/collection/seeds.txt) and write each as\n"
     "OUTDIR/NAME.omx, printing its rule set, size, grade and clues. --only\n"
     "makes the one entry NAME.",
     RunCollection},
    {"analyze", "analyze FILE [--json] [--limit-seconds S]",
     "Decide whether a puzzle (grid text or .omx; its clues and given black\n"
     "cells) has exactly one solution, none or several, by a complete search.\n"
     "Prints 'verdict V' (unique, none, several or stopped), 'grade G' (how\n"
     "far the automatic solver has to go: 1 rules, 2 single hypotheses,\n"
     "3 window stage, 4 beyond it; 0 unless unique), 'differ N' (cells where\n"
     "two solutions differ), 'seconds T', then each solution found: clue\n"
     "numbers, # black, . white. --json prints one JSON object instead.\n"
     "--limit-seconds stops the search after S seconds (verdict stopped).",
     RunAnalyze},
#ifdef OMBRIX_HAVE_QT
    {"print", "print FILE OUT.pdf",
     "Write the printed page of a puzzle (grid text or .omx) as a one-page A4\n"
     "PDF: the title, the framed cells, clues in blue, area numbers in green,\n"
     "black cells. The file is replaced only when the new one is complete.",
     RunPrint},
    {"render", "render FILE OUT.png",
     "Paint the editor's whole layout of a puzzle (grid text or .omx) into a\n"
     "PNG of (27W + 220) x max(27H + 120, 27n + 57, 310) pixels (n numbers on\n"
     "the bar), exactly as the window shows it: banner, status message, cells,\n"
     "number bar, buttons and label of the phase the file holds.",
     RunRender},
#endif
};

constexpr const char* kUsage = "usage: ombrix-cli COMMAND [ARGS] | --help | --version\n";

void PrintHelp(std::ostream& out) {
    out << kUsage << "\nCommands:\n";
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
    out << "Every COMMAND takes --help. Files are replaced whole and only when the new\n"
           "content is complete.\n\n"
           "Exit status: 0 success (whatever the solver's outcome), 1 bad usage,\n"
           "2 a file that cannot be read, parsed or written (standard output included).\n";
}

int UsageProblem(const std::string& problem) {
    std::cerr << "ombrix-cli: " << problem << "\n" << kUsage << "see ombrix-cli --help\n";
    return 1;
}

// Runs the command line; the exit status.
int Run(int argc, char** argv) {
    if (argc < 2) return UsageProblem("no command given");
    const std::string first = argv[1];
    if (first == "--help" || first == "-h" || first == "help" || first == "--version") {
        if (argc > 2) return UsageProblem("unexpected argument " + QuoteForMessage(argv[2]));
        if (first == "--version")
            std::cout << "ombrix-cli " << OMBRIX_VERSION << "\n";
        else
            PrintHelp(std::cout);
        return 0;
    }
    const Command* c = FindCommand(first);
    if (!c)
        return UsageProblem((first.starts_with('-') ? "unknown option " : "unknown command ") +
                            QuoteForMessage(first));
    const Args args(argv + 2, argv + argc);
    for (const std::string& a : args) {
        if (a == "--") break;
        if (a == "--help" || a == "-h") {
            std::cout << "usage: ombrix-cli " << c->usage << "\n" << c->help << "\n";
            return 0;
        }
    }
    return c->run(args);
}

} // namespace

const Command* FindCommand(std::string_view name) {
    for (const Command& c : kCommands)
        if (name == c.name) return &c;
    return nullptr;
}

} // namespace ombrix::cli

int main(int argc, char** argv) {
    // Past a file-size limit a write fails with "File too large" and the
    // writer reports it, instead of the process ending without a word.
    std::signal(SIGXFSZ, SIG_IGN);
    int status = ombrix::cli::Run(argc, argv);
    // What went to standard output must have arrived: a full disk or a
    // closed pipe behind it is an error like any other failed write.
    errno = 0;
    std::cout.flush();
    const bool written = std::cout.good() && std::fflush(stdout) == 0 && !std::ferror(stdout);
    if (!written) {
        const int err = errno;
        std::cerr << "ombrix-cli: cannot write to standard output"
                  << (err ? ": " + std::generic_category().message(err) : std::string()) << "\n";
        if (status == 0) status = 2;
    }
    return status;
}
