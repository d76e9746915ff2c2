#pragma once
// The program's command line: phonolith [--chain] [FILE], --help, --version.
#include <string>
#include <vector>

struct CommandLine {
    enum class Action {
        Run,     // open the window (with `file` when one was named)
        Help,    // print usageText() to standard output, exit 0
        Version, // print versionText() to standard output, exit 0
        Error,   // print `error` and usageText() to standard error, exit 2
    };
    Action action = Action::Run;
    bool chain = false; // --chain: the window shows the signal chain
    bool hasFile = false;
    std::string file;
    std::string error; // one line, without its line end
};

// Reads the arguments after the program name, GNU style: "--" ends the
// options, and a lone "-" is a file name. The toolkit's own options
// ("-platform NAME", "-style NAME", "-reverse", ...) are passed over: the
// application object takes them later. The style sheet it would read whole
// ("-stylesheet FILE", "--stylesheet=FILE", ...) must be a regular, readable
// file of at most 1 MiB, or the line is an error naming the path and why.
CommandLine parseCommandLine(const std::vector<std::string>& args);

// The microphone library that comes with the program: share/phonolith/
// microphones.dat beside the folder of the installed program, or where the
// build was configured to install it.
std::string micLibraryFile();

std::string usageText();
std::string versionText();

// The exit status of each action.
int exitStatus(CommandLine::Action action);
