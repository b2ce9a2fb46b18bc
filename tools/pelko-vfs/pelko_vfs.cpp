// pelko-vfs: builds, lists, extracts and checks the wave archives (".vfs") the synthesizer reads
// its waves from. Exit codes: 0 success, 1 a command failed, 2 the command line is wrong.
#include "vfs_commands.h"

#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr const char* kOverview = R"(usage: pelko-vfs COMMAND ARGUMENTS...

Wave archives (.vfs) hold the synthesizer's waves: for every wave a description (a short text
listing its zones) and the zones' samples (16-bit mono, stored or losslessly compressed).
Archives go in the folder "waves" of the install folder.

commands:
  create [--force] ARCHIVE                      make a new empty archive
  add ARCHIVE [--stored|--compressed] [--name ENTRY] FILE...
                                                add files as entries
  list ARCHIVE                                  show every entry and whether it reads back intact
  extract ARCHIVE [--output FOLDER] [ENTRY...]  write entries to files
  verify ARCHIVE...                             check every entry and every wave description
  help [COMMAND]                                explain a command

Run "pelko-vfs help COMMAND" for the details of one command.
)";

constexpr const char* kCreateHelp = R"(usage: pelko-vfs create [--force] ARCHIVE

Writes a new, empty archive (version 1.0). An existing file is kept unless --force is given,
in which case it is replaced. The file is written atomically: a failure leaves the old one.
)";

constexpr const char* kAddHelp = R"(usage: pelko-vfs add ARCHIVE [--stored|--compressed] [--name ENTRY] FILE...

Adds files to an existing archive. The entry name is the file's path as given, with '/' turned
into '\', so run it from the folder that holds your tree of waves: the file "Pads/Warm.txt"
becomes the wave "Pads\Warm". Without an option the extension decides:
  NAME.txt   a wave description, stored as the entry NAME (the wave's name)
  NAME.wav   converted to 16-bit mono samples and compressed, as the entry NAME.pcm
  NAME.pcm   16-bit little-endian mono samples, compressed
  other      stored byte for byte
  --stored      store every file byte for byte under its own name
  --compressed  compress every file with the sample codec under its own name (even sizes only)
  --name ENTRY  the entry name to use (one FILE only)

A wave description has one line per zone:
  LOW-HIGH|SAMPLE ENTRY|ROOT|CENTS|LOOP START
for example "C0-B4|Pads\Warm 1.pcm|A5|0|0": keys C0 to B4 play the entry "Pads\Warm 1.pcm"
whose pitch is A5 (440 Hz; or write a frequency such as 261.63Hz), tuned by 0 cents, looping
from sample 0 to its end. Notes run from C0 (key 0) to G10 (key 127). Lines starting with ';'
are comments. Names that exist already are refused; the archive is replaced atomically.
)";

constexpr const char* kListHelp = R"(usage: pelko-vfs list ARCHIVE

Shows the archive's version and, for every entry in file order, its storage method (stored or
codec), its unpacked and packed sizes in bytes, whether it reads back with a matching checksum
(ok, BAD, or unreadable when its data is missing or cannot be decoded) and its name.
Exits with 1 when any entry is not ok.
)";

constexpr const char* kExtractHelp = R"(usage: pelko-vfs extract ARCHIVE [--output FOLDER] [ENTRY...]

Writes the named entries (all of them when none is named) as files below FOLDER (default: the
current folder); '\' in entry names becomes a subfolder. Entries are written exactly as stored
in the archive after unpacking (samples as 16-bit little-endian mono). Names that would leave
the folder are refused. Each file is written atomically.
)";

constexpr const char* kVerifyHelp = R"(usage: pelko-vfs verify ARCHIVE...

Reads every entry and checks its checksum, checks that the archive is complete and current, and
that every wave description can be read and names sample entries that exist, with loop starts
inside them. Prints "ok" per archive, or each problem; exits with 1 when there is any.
)";

int usage(const std::string& problem)
{
    std::cerr << "pelko-vfs: " << problem << "\nRun \"pelko-vfs --help\" for the commands.\n";
    return 2;
}

int help(const std::string& command)
{
    if (command.empty()) {
        std::cout << kOverview;
    } else if (command == "create") {
        std::cout << kCreateHelp;
    } else if (command == "add") {
        std::cout << kAddHelp;
    } else if (command == "list") {
        std::cout << kListHelp;
    } else if (command == "extract") {
        std::cout << kExtractHelp;
    } else if (command == "verify") {
        std::cout << kVerifyHelp;
    } else {
        return usage("no command \"" + command + "\"");
    }
    return 0;
}

bool isHelp(const std::string& argument) { return argument == "--help" || argument == "-h"; }

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::cout << kOverview;
        return 2;
    }
    const std::string command = args.front();
    args.erase(args.begin());
    if (isHelp(command)) {
        return help("");
    }
    if (command == "help") {
        return help(args.empty() ? "" : args.front());
    }
    for (const std::string& argument : args) {
        if (isHelp(argument)) {
            return help(command);
        }
    }

    if (command == "create") {
        bool replace = false;
        std::vector<std::string> rest;
        for (const std::string& argument : args) {
            if (argument == "--force") {
                replace = true;
            } else if (argument.rfind("--", 0) == 0) {
                return usage("create: unknown option " + argument);
            } else {
                rest.push_back(argument);
            }
        }
        if (rest.size() != 1) {
            return usage("create needs exactly one ARCHIVE");
        }
        return vfs_tool::createArchive(rest.front(), replace, std::cout, std::cerr);
    }
    if (command == "add") {
        vfs_tool::AddOptions options;
        std::vector<std::string> rest;
        for (std::size_t i = 0; i < args.size(); ++i) {
            if (args[i] == "--stored") {
                options.mode = vfs_tool::AddMode::Stored;
            } else if (args[i] == "--compressed") {
                options.mode = vfs_tool::AddMode::Compressed;
            } else if (args[i] == "--name") {
                if (i + 1 == args.size()) {
                    return usage("add: --name needs an ENTRY");
                }
                options.entryName = args[++i];
            } else if (args[i].rfind("--", 0) == 0) {
                return usage("add: unknown option " + args[i]);
            } else {
                rest.push_back(args[i]);
            }
        }
        if (rest.size() < 2) {
            return usage("add needs an ARCHIVE and at least one FILE");
        }
        if (!options.entryName.empty() && rest.size() != 2) {
            return usage("add: --name takes exactly one FILE");
        }
        std::string archive = rest.front();
        rest.erase(rest.begin());
        return vfs_tool::addFiles(archive, rest, options, std::cout, std::cerr);
    }
    if (command == "list") {
        if (args.size() != 1) {
            return usage("list needs exactly one ARCHIVE");
        }
        return vfs_tool::listArchive(args.front(), std::cout, std::cerr);
    }
    if (command == "extract") {
        std::string folder;
        std::vector<std::string> rest;
        for (std::size_t i = 0; i < args.size(); ++i) {
            if (args[i] == "--output") {
                if (i + 1 == args.size()) {
                    return usage("extract: --output needs a FOLDER");
                }
                folder = args[++i];
            } else if (args[i].rfind("--", 0) == 0) {
                return usage("extract: unknown option " + args[i]);
            } else {
                rest.push_back(args[i]);
            }
        }
        if (rest.empty()) {
            return usage("extract needs an ARCHIVE");
        }
        std::string archive = rest.front();
        rest.erase(rest.begin());
        return vfs_tool::extractEntries(archive, folder, rest, std::cout, std::cerr);
    }
    if (command == "verify") {
        if (args.empty()) {
            return usage("verify needs at least one ARCHIVE");
        }
        int status = 0;
        for (const std::string& archive : args) {
            status |= vfs_tool::verifyArchive(archive, std::cout, std::cerr);
        }
        return status;
    }
    return usage("no command \"" + command + "\"");
}
