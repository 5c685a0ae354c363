#pragma once

#include <cstdint>
#include <cstdio>

#include "foundation/ZArray.h"
#include "foundation/ZString.h"

class ZPackageFile;

// One mounted source: a package, or (when package is null) a folder.
struct ZStreamSource {
    ZPackageFile* package = nullptr;  // owned by the manager
    ZString folderPath;               // ends in '\' unless empty (the working folder)
};

// Every data file is read by name through the stream manager. Names are
// relative to a source's root with '\' between folders; they are looked up in
// the sources in mount order and the first source that holds the name wins,
// so a folder mounted before a package overrides the package's copy. Package
// entries match ignoring case; folders fall back to a case-insensitive match.
//
// Main thread only: there is no lock. A file found by name is reported missing
// with an error box ("No stream source was found containing file ...") by
// every operation below except FindSource with report clear, FindFiles and the
// mounting calls; the box never blocks a headless run.
class ZStreamMgr {
public:
    // Made empty on first use.
    static ZStreamMgr* GetInstance();
    // Shutdown: CloseAllSources, then frees the manager (the next GetInstance
    // makes a new one).
    static void DestroyInstance();

    // Mounts a package at the end of the list. Ignored for a null or empty path
    // or one that does not open; a file that opens but is not a usable package
    // stays mounted and never holds a name.
    void AddPackageSource(const char* path);
    // Mounts a folder at the end of the list (ignored for null). An empty path
    // is the working folder. The folder need not exist.
    void AddDirectorySource(const char* path);

    // Index of the first source holding name, or -1 (with the error box when
    // report is set). Loaders of optional files search with report clear first.
    int32_t FindSource(const char* name, bool report) const;

    // Reads a whole file into a new buffer that the caller frees with delete[].
    // The buffer always holds size + 1 bytes, the last one 0, so text parsers
    // may rely on the terminator. A missing or unreadable file leaves null and
    // -1 and answers false.
    bool ReadFile(const char* name, char** outBuffer, int64_t* outSize) const;
    // Opens the file for reading ("rb"): 0, or an errno number (2 when no source
    // holds it). In a package the handle is positioned at the entry's first
    // byte and the caller stops after GetFileSize bytes. The caller closes it.
    int OpenFile(const char* name, std::FILE** outFile) const;
    // Bytes in the file, or -1.
    int64_t GetFileSize(const char* name) const;
    // Where the bytes lie, for streaming: in a package the entry's size, offset
    // and the package's path (owned by the package); in a folder the file's
    // size and offset 0 (the path is not written). Size and offset are -1 when
    // no source holds the name.
    void GetFileLocation(const char* name, int64_t* outSize, const char** outPackagePath,
                         int64_t* outOffset) const;

    // Appends the names matching pattern from every source in mount order
    // (a name held by two sources comes twice). Packages keep "*suffix"
    // patterns by suffix and list everything for any other pattern; folders
    // apply the wildcard to their own files (no sub-folders).
    void FindFiles(ZArray<ZString>& out, const char* pattern) const;

    // Shutdown: writes back modified packages (compacted), closes and frees
    // every source and leaves the list empty.
    void CloseAllSources();

    // Copies every entry of every package source, in mount order, into the
    // user's content-dump folder (or into folder, when given).
    void DumpAllContent() const;
    void DumpAllContent(const char* folder) const;

    uint32_t GetSourceCount() const { return m_sources.Count(); }
    const ZStreamSource& GetSource(uint32_t index) const { return m_sources[index]; }

    ZStreamMgr(const ZStreamMgr&) = delete;
    ZStreamMgr& operator=(const ZStreamMgr&) = delete;

private:
    // Made and freed only through the shared manager slot helpers.
    template <typename T>
    friend T* GetOrCreateManager(T*& slot);
    template <typename T>
    friend void DestroyManager(T*& slot);

    ZStreamMgr() = default;
    ~ZStreamMgr();

    // FindSource that also hands back the joined path of a folder source's
    // file (one result per call, so no shared buffer is needed).
    int32_t FindSourcePath(const char* name, bool report, ZString* outPath) const;

    ZArray<ZStreamSource> m_sources;
};
