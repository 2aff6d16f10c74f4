// smbios-inspect: reads the SMBIOS table of this machine, a memory image, a
// dmidecode dump, a raw sysfs table or a Windows RSMB buffer through the
// Tarnwick library, and lists, shows, decodes, checks and exports it. Started as
// smbios-dmidecode (a link to it), it is the drop-in for dmidecode 3.7.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "smbios-inspect/CommandLine.h"
#include "smbios-inspect/DmidecodeCommand.h"
#include "smbios-inspect/Inspect.h"
#include "smbios/Exception.h"

namespace {

constexpr int kUsageError = 2;
constexpr int kFailure = 1;

// The name the program was started by, without its folder and suffix.
std::string programName(const char *path) {
    std::string name = path != nullptr ? path : "";
    const std::size_t slash = name.find_last_of("/\\");
    if (slash != std::string::npos) {
        name.erase(0, slash + 1);
    }
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".exe") == 0) {
        name.erase(name.size() - 4);
    }
    return name;
}

int run(const smbios_inspect::CommandLine &line, smbios_inspect::Output &out, smbios_inspect::Output &errors) {
    using smbios_inspect::Command;
    // check reads its source's bytes itself, broken ones too, and sets up
    // no factory.
    if (line.command == Command::Check) {
        return smbios_inspect::checkCommand(line.source, line.check, line.json, out);
    }
    // Made for every other command: it points the library's factories at the
    // source, which the system-ID and vendor queries read through.
    smbios_inspect::TableSource table(line.source);
    switch (line.command) {
    case Command::Dump:
        return smbios_inspect::dumpCommand(table, out);
    case Command::List:
        return smbios_inspect::listCommand(table, line.json, out);
    case Command::Show:
        return smbios_inspect::showCommand(table, line.type, line.handle, line.json, out);
    case Command::Decode:
        return smbios_inspect::decodeCommand(table, line.types, line.handle, line.quiet, line.json, line.decodeOptions,
                                             out, errors);
    case Command::Get:
        return smbios_inspect::getCommand(table, line.keyword, line.listKeywords, line.oemString, line.json,
                                          line.decodeOptions, out, errors);
    case Command::EntryPoint:
        return smbios_inspect::entryPointCommand(table, line.json, out);
    case Command::SystemId:
        return smbios_inspect::systemIdCommand(line.json, out, errors);
    case Command::Vendor:
        return smbios_inspect::vendorCommand(line.json, out);
    case Command::ExportImage:
        return smbios_inspect::exportImageCommand(table, line.output, out);
    case Command::ExportDump:
        return smbios_inspect::exportDumpCommand(table, line.output, out);
    case Command::Check:
        break;
    }
    return kFailure;
}

void write(std::FILE *stream, const std::string &text) {
    (void)std::fwrite(text.data(), 1, text.size(), stream);
}

}  // namespace

int main(int argc, char **argv) {
    if (argc > 0 && programName(argv[0]) == smbios_inspect::kDropInName) {
        return smbios_inspect::dmidecodeMain(argc, argv);
    }
    const smbios_inspect::CommandLine line =
        smbios_inspect::parseCommandLine(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
    if (line.outcome == smbios_inspect::CommandLine::Outcome::ShowText) {
        write(stdout, line.text);
        return 0;
    }
    if (line.outcome == smbios_inspect::CommandLine::Outcome::UsageError) {
        write(stderr, "smbios-inspect: " + line.text + "\nTry '" + line.helpHint + "'.\n");
        return kUsageError;
    }
    smbios_inspect::Output out(stdout);
    smbios_inspect::Output errors;
    int status = kFailure;
    std::string failure;
    try {
        status = run(line, out, errors);
    } catch (const smbios::IException &error) {
        failure = smbios_inspect::oneLine(error.what());
    } catch (const smbios_inspect::ToolError &error) {
        failure = smbios_inspect::oneLine(error.what());
    } catch (const std::exception &error) {
        failure = "unexpected error: " + smbios_inspect::oneLine(error.what());
    }
    write(stdout, out.text());
    write(stderr, errors.text());
    if (!failure.empty()) {
        write(stderr, "smbios-inspect: " + failure + "\n");
        return kFailure;
    }
    if (std::fflush(stdout) != 0) {
        write(stderr, "smbios-inspect: cannot write the output\n");
        return kFailure;
    }
    return status;
}
