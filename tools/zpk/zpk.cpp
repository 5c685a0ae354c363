// zpk: builds, lists and unpacks package files (.zpk, .kpk).
//   zpk pack DIR OUT.zpk     every file under DIR, named relative to it
//   zpk list FILE            the table of contents
//   zpk extract FILE DIR     every entry as a plain file under DIR

#include <cstdio>
#include <cstring>
#include <string>

#include "foundation/ZPackageFile.h"
#include "foundation/ZPackageWriter.h"
#include "platform/os/files.h"

namespace {

const char* const kUsage =
    "usage: zpk <command> [arguments]\n"
    "\n"
    "  zpk pack DIR OUT.zpk    pack every file under DIR into the package OUT.zpk\n"
    "  zpk list FILE           list the entries of a package (offset, size, name)\n"
    "  zpk extract FILE DIR    write every entry of a package as a file under DIR\n"
    "\n"
    "zpk <command> --help shows more about one command.\n";

const char* const kPackHelp =
    "usage: zpk pack DIR OUT.zpk\n"
    "\n"
    "Packs every file under DIR (sub-folders included, hidden files left out) into\n"
    "OUT.zpk. Entries are named relative to DIR with '\\' between folders and are\n"
    "stored in name order. An existing OUT.zpk is replaced only once the new one\n"
    "is complete. Names longer than 247 bytes are refused.\n";

const char* const kListHelp =
    "usage: zpk list FILE\n"
    "\n"
    "Prints the layout and version of a package, then one line per entry in table\n"
    "order: data offset, size in bytes and name.\n";

const char* const kExtractHelp =
    "usage: zpk extract FILE DIR\n"
    "\n"
    "Writes every entry of the package FILE as a plain file under DIR, creating\n"
    "sub-folders as needed. Entries whose names would leave DIR (\"..\", absolute\n"
    "paths, drive letters) are refused and reported; the exit status is then 1.\n";

bool WantsHelp(int argc, char** argv) {
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            return true;
        }
    }
    return false;
}

int Usage(const char* help) {
    std::fputs(help, stderr);
    return 2;
}

int Pack(const char* folder, const char* output) {
    if (!os::IsFolder(folder)) {
        std::fprintf(stderr, "zpk: %s is not a folder\n", folder);
        return 1;
    }
    std::string base = os::TranslatePath(folder);
    if (base.back() != '/') {
        base += '/';
    }
    ZPackageWriter writer;
    for (const os::FoundFile& found : os::FindFiles(base, "*", true)) {
        if (found.isFolder) {
            continue;
        }
        if (!writer.AddFile(found.name.c_str(), (base + found.name).c_str())) {
            std::fprintf(stderr, "zpk: %s\n", writer.Error().c_str());
            return 1;
        }
    }
    if (!writer.Write(output)) {
        std::fprintf(stderr, "zpk: %s\n", writer.Error().c_str());
        return 1;
    }
    std::printf("zpk: packed %zu files into %s\n", writer.GetCount(), output);
    return 0;
}

bool OpenPackage(ZPackageFile& package, const char* path) {
    if (!os::Exists(path)) {
        std::fprintf(stderr, "zpk: %s does not exist\n", path);
        return false;
    }
    if (!package.Open(path)) {
        std::fprintf(stderr, "zpk: %s is not a package\n", path);
        return false;
    }
    return true;
}

int List(const char* path) {
    ZPackageFile package;
    if (!OpenPackage(package, path)) {
        return 1;
    }
    const ZPackageHeader& header = package.GetHeader();
    std::printf("%s: %s layout, version %u, %u entries\n", path,
                std::memcmp(header.magic, ".zpk", 4) == 0 ? "current" : "older", header.version,
                package.GetEntryCount());
    for (uint32_t i = 0; i < package.GetEntryCount(); ++i) {
        const ZPackageEntry& entry = package.GetEntry(i);
        std::printf("%10u %10u  %s\n", entry.offset, entry.size, entry.name);
    }
    return 0;
}

int Extract(const char* path, const char* folder) {
    ZPackageFile package;
    if (!OpenPackage(package, path)) {
        return 1;
    }
    uint32_t refused = 0;
    for (uint32_t i = 0; i < package.GetEntryCount(); ++i) {
        const char* name = package.GetEntry(i).name;
        if (!ZPackageFile::IsSafeRelativeName(name)) {
            std::fprintf(stderr, "zpk: refused entry \"%s\": it would be written outside %s\n", name, folder);
            ++refused;
        }
    }
    if (os::CreateFolders(folder) != 0) {
        std::fprintf(stderr, "zpk: cannot create %s\n", folder);
        return 1;
    }
    const uint32_t written = package.DumpContent(folder);
    const uint32_t failed = package.GetEntryCount() - refused - written;
    if (failed > 0) {
        std::fprintf(stderr, "zpk: %u entries could not be written\n", failed);
    }
    std::printf("zpk: extracted %u of %u entries into %s\n", written, package.GetEntryCount(), folder);
    return refused == 0 && failed == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return Usage(kUsage);
    }
    const std::string command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    const char* help = command == "pack"      ? kPackHelp
                       : command == "list"    ? kListHelp
                       : command == "extract" ? kExtractHelp
                                              : nullptr;
    if (!help) {
        std::fprintf(stderr, "zpk: unknown command \"%s\"\n\n", command.c_str());
        return Usage(kUsage);
    }
    if (WantsHelp(argc, argv)) {
        std::fputs(help, stdout);
        return 0;
    }
    if (command == "pack" && argc == 4) {
        return Pack(argv[2], argv[3]);
    }
    if (command == "list" && argc == 3) {
        return List(argv[2]);
    }
    if (command == "extract" && argc == 4) {
        return Extract(argv[2], argv[3]);
    }
    return Usage(help);
}
