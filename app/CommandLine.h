#pragma once

// Reads the command line into CommandLineOptions: creates the option tables,
// splits the arguments, checks -f, -g, -k and -x in table order, then the -x
// rule, then help. False when the program is to end now; the reason has been
// shown and the exit code is GetQuitExitCode() (util/MessageOutput.h).
// The option texts point into argv, which must outlive the program's use of them.
bool ReadCommandLine(int argc, const char* const* argv);
