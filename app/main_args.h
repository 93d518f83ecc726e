// The editor's command line: `ombrix [--help] [--version] [PUZZLE]` (a .omx
// puzzle file or grid text).
// Qt's own options (-platform, -style, ...) are taken out by the application
// object before these are read.
#pragma once

#include <QString>
#include <QStringList>

namespace ombrix {

struct EditorCommandLine {
    QString puzzlePath; // the file to load at start-up; empty for none
    bool exit = false;  // true: print `out` and `err` and end with `exitCode`
    int exitCode = 0;   // 0 after --help or --version, 1 for bad usage
    QString out, err;   // for standard output and standard error
};

// Reads the arguments (program name first). --help and --version print to
// standard output and end with 0; an unknown option or a second file prints
// what is wrong and the usage to standard error and ends with 1.
EditorCommandLine ParseEditorCommandLine(const QStringList& arguments);

} // namespace ombrix
