// The language list and the string files it leads to: the input is a
// language list, a default string file and a localised one, separated by
// lines of "%%". Languages are registered from the list, then each is loaded
// and its strings read, plain and formatted. Nothing may crash, whatever the
// names, prefixes and texts.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "driver/FuzzTempFolder.h"
#include "foundation/ZStreamMgr.h"
#include "framework/ZLocMgr.h"

namespace {

const std::string& Folder() {
    static const std::string& folder = [] () -> const std::string& {
        const std::string& made = fuzz::TempFolder("language_list");
        std::filesystem::create_directories(made + "/Localization/German");
        ZStreamMgr::GetInstance()->AddDirectorySource(made.c_str());
        return made;
    }();
    return folder;
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        std::abort();
    }
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

// The next part of the input, up to a line of "%%" or the end.
std::string NextPart(const std::string& input, size_t& at) {
    const size_t end = input.find("\n%%\n", at);
    const std::string part = input.substr(at, end == std::string::npos ? std::string::npos : end - at);
    at = end == std::string::npos ? input.size() : end + 4;
    return part;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 16) {
        return 0;
    }
    const std::string& folder = Folder();
    const std::string input(reinterpret_cast<const char*>(data), size);
    size_t at = 0;
    WriteFile(folder + "/Language List.ini", NextPart(input, at));
    WriteFile(folder + "/General.txt", NextPart(input, at));
    WriteFile(folder + "/Localization/German/General.txt", NextPart(input, at));

    ZLocMgr* loc = ZLocMgr::GetInstance();
    loc->AddStringFile("General.txt");
    loc->AddLanguageList("Language List.ini");
    loc->SetDefaultPath(true);
    loc->SetDefaultPath(false);
    const ZHashedString file("General");
    const ZHashedString keys[] = {ZHashedString("FPS"), ZHashedString("Confirm"), ZHashedString("Header")};
    const ZHashedString sections[] = {ZHashedString::None(), ZHashedString("D3DInitWarnings")};
    for (const char* language : {"German", "Klingon", "xxx", "", "German"}) {
        loc->ChangeLanguage(language);
        for (const ZHashedString& section : sections) {
            for (const ZHashedString& key : keys) {
                (void)loc->GetString(file, section, key);
                (void)loc->FormatString(file, section, key, static_cast<const char*>("skip"), 3);
            }
        }
    }
    ZLocMgr::DestroyInstance();
    return 0;
}
