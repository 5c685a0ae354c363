#pragma once

#include <filesystem>
#include <string>

namespace korvtest {

// A fresh folder under the system's temporary folder, removed with everything
// in it when the object goes out of scope.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    // Path of a file or folder inside the temporary folder, as a string.
    std::string File(const std::string& name) const { return (m_path / name).string(); }
    // Writes bytes to a file inside the folder, creating parent folders.
    void Write(const std::string& name, const std::string& bytes) const;
    // Reads a whole file inside the folder; empty when it does not exist.
    std::string Read(const std::string& name) const;

private:
    std::filesystem::path m_path;
};

}  // namespace korvtest
