// Running shell commands for the tests that use other programs.
#include "tests/support/Command.h"

#include <sys/wait.h>

#include <cstdio>
#include <vector>

#include "tests/support/TempFile.h"

namespace tarnwick_test {

CommandResult runCommand(const std::string &command) {
    const std::string errors = missingFilePath();
    CommandResult result;
    // The tests run tools they name themselves, through the shell on purpose.
    // NOLINTNEXTLINE(cert-env33-c)
    std::FILE *pipe = ::popen((command + " 2>" + shellQuoted(errors)).c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    char chunk[4096];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) {
        result.out.append(chunk, got);
    }
    const int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    const std::vector<uint8_t> err = readFile(errors);
    result.err.assign(err.begin(), err.end());
    (void)std::remove(errors.c_str());  // a leftover temporary file is harmless
    return result;
}

std::string shellQuoted(const std::string &text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

}  // namespace tarnwick_test
