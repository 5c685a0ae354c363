#pragma once

// The renderer started once per process on the fake device, with a fake
// window system (its message boxes only record) and a temporary folder
// mounted as the stream source the fuzz targets write their input into.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "foundation/ZArray.h"
#include "foundation/ZHashedString.h"
#include "foundation/ZStreamMgr.h"
#include "platform/gfx/fake/fake_gfx.h"
#include "platform/window/fake/FakeWindowSystem.h"
#include "renderer/ZRenderer.h"

namespace fuzzrender {

inline std::string& FolderPath() {
    static std::string folder;
    return folder;
}

inline void RemoveFolder() {
    std::error_code error;
    std::filesystem::remove_all(FolderPath(), error);
}

// Starts everything at the first call; answers the mounted folder.
inline const std::string& Start() {
    static const bool started = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "fuzz_renderer_XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        FolderPath() = pattern;
        std::atexit(RemoveFolder);
        auto windows = std::make_unique<platform::window::FakeWindowSystem>();
        platform::window::FakeWindowSystem* window = windows.get();
        platform::window::SetWindowSystem(std::move(windows));
        ZStreamMgr::GetInstance()->AddDirectorySource(FolderPath().c_str());
        GetRenderer()->UseSystem(gfx::fake::CreateSystem(std::make_shared<gfx::fake::State>()));
        int32_t width = 64;
        int32_t height = 64;
        ZArray<ZHashedString> missing;
        InitRenderer(window, width, height, ZRenderVideoSettings(), missing);
        if (!GetRenderer()->hasDevice) {
            std::abort();
        }
        return true;
    }();
    (void)started;
    return FolderPath();
}

// Writes the bytes as a file of the mounted folder.
inline void WriteFile(const char* name, const uint8_t* data, const size_t size) {
    const std::string path = Start() + "/" + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        std::abort();
    }
    if (size > 0) {
        std::fwrite(data, 1, size, file);
    }
    std::fclose(file);
}

}  // namespace fuzzrender
