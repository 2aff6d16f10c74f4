// Runs a command line of the build machine's shell and collects what it
// printed and how it ended. Native builds only.
#ifndef TARNWICK_TESTS_SUPPORT_COMMAND_H
#define TARNWICK_TESTS_SUPPORT_COMMAND_H

#include <string>

namespace tarnwick_test {

struct CommandResult {
    int status = -1;  // the exit status; -1 when the command did not exit
    std::string out;
    std::string err;
};

// `command` goes to /bin/sh as it is: quote its arguments.
CommandResult runCommand(const std::string &command);

// `text` quoted for the shell.
std::string shellQuoted(const std::string &text);

}  // namespace tarnwick_test

#endif  // TARNWICK_TESTS_SUPPORT_COMMAND_H
