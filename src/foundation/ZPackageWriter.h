#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Builds a package file (the layout ZPackageFile reads): the header, every
// file's bytes in the order added, then the table. Used by the packer tool and
// by anything that needs a package made on the spot.
class ZPackageWriter {
public:
    // Adds a file whose bytes are read from sourcePath when the package is
    // written. Names use '\' between folders ('/' is turned into '\'). False,
    // with Error() set, for a name that is empty, too long for the table
    // (247 bytes), not a safe relative name, or already added (ignoring case).
    bool AddFile(const char* name, const char* sourcePath);
    // Adds a file from bytes held in memory (copied).
    bool AddData(const char* name, const void* data, size_t size);

    // Writes the package, replacing any file at path only once it is complete.
    // False, with Error() set, when a source does not read or the package would
    // not fit the format's 32-bit offsets.
    bool Write(const char* path);

    size_t GetCount() const { return m_files.size(); }
    const std::string& Error() const { return m_error; }

private:
    struct File {
        std::string name;
        std::string sourcePath;  // empty for data held in memory
        std::string data;
    };

    bool CheckName(std::string& name);

    std::vector<File> m_files;
    std::string m_error;
};
