#include "foundation/ZStreamMgr.h"

#include <cstring>
#include <string>

#include "foundation/ZAppInfo.h"
#include "foundation/ZLog.h"
#include "foundation/ZPackageFile.h"
#include "foundation/ZUserFolders.h"
#include "platform/os/files.h"
#include "platform/os/system.h"
#include "platform/window/window.h"

namespace {

ZStreamMgr* gStreamMgr = nullptr;

// The longest text an error box shows.
constexpr size_t kErrorBoxTextLimit = 255;

// Shows the error box for a failed call, naming where it failed; never blocks
// a headless run (the window layer logs the box instead).
void ReportWin32Error(const std::string& message, int errorCode) {
    const std::string systemText = os::ErrorText(errorCode);
    char text[1024];
    std::snprintf(text, sizeof(text), "%s\r\n\r\nError code %d: %s\r\nFunction: %s\r\nFile: %s\r\nLine: %d",
                  message.c_str(), errorCode, systemText.c_str(), "ZStreamMgr::FindSource",
                  ".\\src\\ZStreamMgr", 145);
    std::string boxText(text);
    if (boxText.size() > kErrorBoxTextLimit) {
        boxText.resize(kErrorBoxTextLimit);
    }
    platform::window::MessageBox("Error", boxText, platform::window::MB_ICONERROR);
}

// The folder file found by a search, read whole with a terminating 0.
bool ReadLooseFile(const char* path, char** outBuffer, int64_t* outSize) {
    std::FILE* file = os::OpenFile(path, "rb");
    if (!file) {
        return false;
    }
    const int64_t size = os::FileSize(file);
    char* buffer = size >= 0 ? new char[size_t(size) + 1] : nullptr;
    const bool ok = buffer && std::fread(buffer, 1, size_t(size), file) == size_t(size);
    std::fclose(file);
    if (!ok) {
        ZLog::Printf("ZStreamMgr::ReadFile: cannot read %s", path);
        delete[] buffer;
        return false;
    }
    buffer[size] = 0;
    *outBuffer = buffer;
    *outSize = size;
    return true;
}

}  // namespace

ZStreamMgr* ZStreamMgr::GetInstance() { return GetOrCreateManager(gStreamMgr); }

void ZStreamMgr::DestroyInstance() { DestroyManager(gStreamMgr); }

ZStreamMgr::~ZStreamMgr() {
    CloseAllSources();
}

void ZStreamMgr::AddPackageSource(const char* path) {
    if (!path || !*path || !FileExists(path)) {
        return;
    }
    ZStreamSource source;
    source.package = new ZPackageFile();
    // A package that fails to open stays mounted but never holds a name.
    source.package->Open(path);
    m_sources.PushBack(source);
}

void ZStreamMgr::AddDirectorySource(const char* path) {
    if (!path) {
        return;
    }
    ZStreamSource source;
    source.folderPath = path;
    const int32_t length = source.folderPath.GetLength();
    if (length > 0 && path[length - 1] != '\\') {
        source.folderPath += "\\";
    }
    m_sources.PushBack(source);
}

int32_t ZStreamMgr::FindSourcePath(const char* name, bool report, ZString* outPath) const {
    if (name) {
        for (uint32_t i = 0; i < m_sources.Count(); ++i) {
            const ZStreamSource& source = m_sources[i];
            if (source.package) {
                if (source.package->IsOpen() && source.package->FindEntry(name) >= 0) {
                    return static_cast<int32_t>(i);
                }
                continue;
            }
            const ZString path = source.folderPath + name;
            if (FileExists(path.GetText())) {
                if (outPath) {
                    *outPath = path;
                }
                return static_cast<int32_t>(i);
            }
        }
    }
    if (report) {
        char message[512];
        std::snprintf(message, sizeof(message), "No stream source was found containing file %s.",
                      name ? name : "");
        ReportWin32Error(message, os::kFileNotFound);
    }
    return -1;
}

int32_t ZStreamMgr::FindSource(const char* name, bool report) const {
    return FindSourcePath(name, report, nullptr);
}

bool ZStreamMgr::ReadFile(const char* name, char** outBuffer, int64_t* outSize) const {
    *outBuffer = nullptr;
    *outSize = -1;
    ZString path;
    const int32_t index = FindSourcePath(name, true, &path);
    if (index < 0) {
        return false;
    }
    const ZStreamSource& source = m_sources[static_cast<uint32_t>(index)];
    if (source.package) {
        return source.package->ReadEntry(name, outBuffer, outSize);
    }
    return ReadLooseFile(path.GetText(), outBuffer, outSize);
}

int ZStreamMgr::OpenFile(const char* name, std::FILE** outFile) const {
    *outFile = nullptr;
    ZString path;
    const int32_t index = FindSourcePath(name, true, &path);
    if (index < 0) {
        return os::kFileNotFound;
    }
    const ZStreamSource& source = m_sources[static_cast<uint32_t>(index)];
    if (source.package) {
        return source.package->OpenEntry(name, outFile);
    }
    int error = 0;
    *outFile = os::OpenFile(path.GetText(), "rb", &error);
    return error;
}

int64_t ZStreamMgr::GetFileSize(const char* name) const {
    ZString path;
    const int32_t index = FindSourcePath(name, true, &path);
    if (index < 0) {
        return -1;
    }
    const ZStreamSource& source = m_sources[static_cast<uint32_t>(index)];
    if (source.package) {
        int64_t size = -1;
        int64_t offset = -1;
        const char* packagePath = nullptr;
        source.package->GetEntryLocation(name, &size, &offset, &packagePath);
        return size;
    }
    return os::FileSize(path.GetText());
}

void ZStreamMgr::GetFileLocation(const char* name, int64_t* outSize, const char** outPackagePath,
                                 int64_t* outOffset) const {
    *outSize = -1;
    *outOffset = -1;
    ZString path;
    const int32_t index = FindSourcePath(name, true, &path);
    if (index < 0) {
        return;
    }
    const ZStreamSource& source = m_sources[static_cast<uint32_t>(index)];
    if (source.package) {
        source.package->GetEntryLocation(name, outSize, outOffset, outPackagePath);
        return;
    }
    *outSize = os::FileSize(path.GetText());
    *outOffset = 0;
}

void ZStreamMgr::FindFiles(ZArray<ZString>& out, const char* pattern) const {
    for (const ZStreamSource& source : m_sources) {
        if (source.package) {
            source.package->ListEntries(out, pattern);
        } else {
            ListFiles(source.folderPath.GetText(), pattern, out, false);
        }
    }
}

void ZStreamMgr::CloseAllSources() {
    for (ZStreamSource& source : m_sources) {
        ZPackageFile* package = source.package;
        if (!package) {
            continue;
        }
        if (package->IsOpen() && package->IsModified()) {
            package->SetModified(false);
            package->Compact();
            package->WriteHeader();
        }
        if (package->IsOpen()) {
            package->Close();
        }
        delete package;
        source.package = nullptr;
    }
    for (ZStreamSource& source : m_sources) {
        source.folderPath = ZString();
    }
    m_sources.Resize(0);
}

void ZStreamMgr::DumpAllContent() const {
    for (const ZStreamSource& source : m_sources) {
        if (source.package) {
            source.package->DumpContent();
        }
    }
}

void ZStreamMgr::DumpAllContent(const char* folder) const {
    for (const ZStreamSource& source : m_sources) {
        if (source.package) {
            source.package->DumpContent(folder);
        }
    }
}
