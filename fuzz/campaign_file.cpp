// Campaign definition files as the game reads them (a mod may replace the
// campaign while the maps, tile sets and sheets stay the game's own): the
// game opens the campaign, makes its entry map current and then each map it
// lists, and whatever the file says it keeps running, with a log line for
// what it cannot use.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "driver/FuzzTempFolder.h"
#include "foundation/ZStreamMgr.h"
#include "game/world/KorvanthGame.h"

namespace {

constexpr const char* kCampaignFile = "fuzz_campaign.kdd";

KorvanthGame& Game() {
    static KorvanthGame* const game = [] {
        const std::string& folder = fuzz::TempFolder("fuzz_campaign");
        // The user's folders (settings, saves, the log) go to the temporary folder too.
        setenv("XDG_DOCUMENTS_DIR", folder.c_str(), 1);
        ZStreamMgr::GetInstance()->AddDirectorySource(folder.c_str());
        // The game's own data, when it was built beside the target.
        const std::string package = std::string(KORV_FUZZ_DATA_DIR) + "/Korvanth.zpk";
        if (std::filesystem::exists(package)) ZStreamMgr::GetInstance()->AddPackageSource(package.c_str());
        return new KorvanthGame();  // with a display that draws nothing
    }();
    return *game;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 16) return 0;
    KorvanthGame& game = Game();
    const std::string path = fuzz::TempFolderPath() + "/" + kCampaignFile;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) std::abort();
    if (size > 0) std::fwrite(data, 1, size, file);
    std::fclose(file);

    if (!game.OpenCampaignFile(kCampaignFile)) return 0;
    // Every map the campaign lists (the first few), then one it does not.
    static const ZHashedString kName("Name");
    const ZArray<ZDefNode> maps = game.GetMapList();
    for (uint32_t i = 0; i < maps.Count() && i < 4; ++i) game.LoadCampaign(maps[i].GetAttribute(kName));
    game.LoadCampaign("no such map");
    return 0;
}
