// smbios-inspect: reads the SMBIOS table of this machine, a memory image, a
// dmidecode dump, a raw sysfs table or a Windows RSMB buffer through the
// Tarnwick library, and lists, shows, checks and exports it.
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <optional>
#include <string>

#include <CLI/CLI.hpp>

#include "smbios-inspect/Inspect.h"
#include "smbios/Exception.h"

namespace {

constexpr int kUsageError = 2;
constexpr int kFailure = 1;
const char kVersion[] = "smbios-inspect 0.1.0 (Tarnwick)";

// One line: newlines of multi-line library texts become "; ".
std::string oneLine(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at)) {
        text.replace(at, 1, "; ");
    }
    return text;
}

// Decimal, 0x-hexadecimal or 0-octal numbers up to 32 bits.
bool parseNumber(const std::string &text, uint32_t &value) {
    char *end = nullptr;
    const unsigned long long parsed = std::strtoull(text.c_str(), &end, 0);
    if (text.empty() || text[0] == '-' || *end != '\0' || parsed > 0xFFFFFFFFull) {
        return false;
    }
    value = static_cast<uint32_t>(parsed);
    return true;
}

// The option check: an empty text when it is a number, else why not.
std::string checkNumber(const std::string &text) {
    uint32_t ignored = 0;
    return parseNumber(text, ignored) ? "" : "'" + text + "' is not a number";
}

}  // namespace

int main(int argc, char **argv) {
    CLI::App app{"Reads the SMBIOS table of this machine or of a file through the Tarnwick SMBIOS library.\n"
                 "Without a file option it reads the running machine (physical memory, then the\n"
                 "firmware-table query: sysfs on Linux, GetSystemFirmwareTable on Windows, then WMI).",
                 "smbios-inspect"};
    app.set_version_flag("--version", kVersion);
    app.require_subcommand(1);
    app.fallthrough();
    app.footer("Exit status: 0 success, 1 no table or no system ID (the reason on stderr), 2 usage error.");

    smbios_inspect::SourceOptions source;
    std::string offsetText;
    auto *image =
        app.add_option("--image", source.image, "read a memory image (byte N = physical address N)")->type_name("FILE");
    auto *dump = app.add_option("--dump", source.dump, "read a `dmidecode --dump-bin` file")->type_name("FILE");
    auto *raw =
        app.add_option("--raw", source.raw, "read a bare table, as /sys/firmware/dmi/tables/DMI")->type_name("FILE");
    auto *rsmb =
        app.add_option("--rsmb", source.rsmb, "read a Windows firmware-table 'RSMB' buffer")->type_name("FILE");
    image->excludes(dump, raw, rsmb);
    dump->excludes(raw, rsmb);
    raw->excludes(rsmb);
    app.add_option("--offset", offsetText, "read the entry point only at this address (factory \"offset\")")
        ->check(checkNumber)
        ->type_name("ADDR");
    app.add_flag("--strict", source.strict, "accept only an entry point that passes every check");

    bool json = false;
    auto *dumpCommand = app.add_subcommand("dump", "the table's own text dump");
    auto *listCommand = app.add_subcommand("list", "one line per structure");
    listCommand->add_flag("--json", json, "one JSON document");
    auto *showCommand = app.add_subcommand("show", "the structures of one type, or the one with a handle");
    std::string typeText;
    std::string handleText;
    auto *typeOption =
        showCommand->add_option("--type", typeText, "structure type (0 to 255)")->check(checkNumber)->type_name("N");
    auto *handleOption = showCommand->add_option("--handle", handleText, "structure handle, as 0x0100")
                             ->check(checkNumber)
                             ->type_name("H");
    typeOption->excludes(handleOption);
    showCommand->add_flag("--json", json, "one JSON document");
    auto *entryPointCommand = app.add_subcommand("entry-point", "the entry point and its strict validation");
    entryPointCommand->add_flag("--json", json, "one JSON document");
    auto *systemIdCommand = app.add_subcommand("system-id", "the maker's system ID, and what each source said");
    systemIdCommand->add_flag("--json", json, "one JSON document");
    auto *vendorCommand = app.add_subcommand("vendor", "the three vendor checks");
    vendorCommand->add_flag("--json", json, "one JSON document");
    std::string output;
    auto *exportImageCommand = app.add_subcommand("export-image", "write a 1 MiB memory image of the table");
    exportImageCommand->add_option("-o,--output", output, "the image file")->required()->type_name("FILE");
    auto *exportDumpCommand = app.add_subcommand("export-dump", "write the table in dmidecode's dump format");
    exportDumpCommand->add_option("-o,--output", output, "the dump file")->required()->type_name("FILE");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError &error) {
        if (error.get_exit_code() == 0) {
            return app.exit(error);  // --help, --version
        }
        std::cerr << "smbios-inspect: " << oneLine(error.what()) << "\nTry 'smbios-inspect --help'.\n";
        return kUsageError;
    }
    if (showCommand->parsed() && typeText.empty() && handleText.empty()) {
        std::cerr << "smbios-inspect: show needs --type or --handle\nTry 'smbios-inspect show --help'.\n";
        return kUsageError;
    }
    uint32_t number = 0;
    if (parseNumber(offsetText, number)) {
        source.offset = number;
    }
    std::optional<int> type;
    std::optional<int> handle;
    if (parseNumber(typeText, number)) {
        type = static_cast<int>(number);
    }
    if (parseNumber(handleText, number)) {
        handle = static_cast<int>(number);
    }

    try {
        smbios_inspect::TableSource table(source);
        if (dumpCommand->parsed()) {
            return smbios_inspect::dumpCommand(table, std::cout);
        }
        if (listCommand->parsed()) {
            return smbios_inspect::listCommand(table, json, std::cout);
        }
        if (showCommand->parsed()) {
            return smbios_inspect::showCommand(table, type, handle, json, std::cout);
        }
        if (entryPointCommand->parsed()) {
            return smbios_inspect::entryPointCommand(table, json, std::cout);
        }
        if (systemIdCommand->parsed()) {
            return smbios_inspect::systemIdCommand(table, json, std::cout, std::cerr);
        }
        if (vendorCommand->parsed()) {
            return smbios_inspect::vendorCommand(table, json, std::cout);
        }
        if (exportImageCommand->parsed()) {
            return smbios_inspect::exportImageCommand(table, output, std::cout);
        }
        return smbios_inspect::exportDumpCommand(table, output, std::cout);
    } catch (const smbios::IException &error) {
        std::cerr << "smbios-inspect: " << oneLine(error.what()) << '\n';
    } catch (const smbios_inspect::ToolError &error) {
        std::cerr << "smbios-inspect: " << oneLine(error.what()) << '\n';
    } catch (const std::exception &error) {
        std::cerr << "smbios-inspect: unexpected error: " << oneLine(error.what()) << '\n';
    }
    return kFailure;
}
