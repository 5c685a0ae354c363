#pragma once

// The game's packages as the data build writes them, for whole runs of the
// game in test programs (the program's own folder has none).

#include <string>

#include "foundation/ZStreamMgr.h"

namespace gametest {

inline void MountGamePackages() {
    for (const char* package : {"Engine.zpk", "Korvanth.zpk", "KorvanthHeavy.zpk", "KorvanthVersion.zpk"}) {
        ZStreamMgr::GetInstance()->AddPackageSource((std::string(KORV_DATA_BUILD_DIR) + "/" + package).c_str());
    }
}

}  // namespace gametest
