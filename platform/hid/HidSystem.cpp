#include <algorithm>
#include <mutex>

#include "platform/hid/fake/FakeHidSystem.h"
#include "platform/hid/hid.h"
#include "platform/hid/sdl/SdlHidSystem.h"

namespace platform::hid {

namespace {

std::mutex gSystemMutex;
std::unique_ptr<HidSystem> gSystem;

std::mutex gDisplayMutex;
std::vector<DisplayPlacement> gDisplays;

bool HasEdidHeader(const uint8_t* edid, const size_t size) {
    static const uint8_t kHeader[8] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
    return edid != nullptr && size >= 128 && std::equal(kHeader, kHeader + 8, edid);
}

// Report bytes for bits of data, with the report-id byte; capped at the field's range.
uint16_t ReportLength(const uint64_t bits) {
    const uint64_t bytes = (bits + 7) / 8 + 1;
    return static_cast<uint16_t>(std::min<uint64_t>(bytes, 0xFFFF));
}

}  // namespace

Device::~Device() = default;
HidSystem::~HidSystem() = default;

uint16_t DefaultInputReportLength(const uint16_t vendorId, const uint16_t productId) {
    if ((vendorId == 0xF055 && productId == 0x0001) || (vendorId == 0x0483 && productId == 0x5750)) {
        return 62;
    }
    return 64;
}

std::string MonitorIdFromEdid(const uint8_t* edid, const size_t size) {
    if (!HasEdidHeader(edid, size)) return {};
    const unsigned maker = (static_cast<unsigned>(edid[8]) << 8) | edid[9];
    std::string id;
    for (int shift = 10; shift >= 0; shift -= 5) {
        const unsigned letter = (maker >> shift) & 0x1F;
        if (letter < 1 || letter > 26) return {};
        id.push_back(static_cast<char>('A' + letter - 1));
    }
    const unsigned product = edid[10] | (static_cast<unsigned>(edid[11]) << 8);
    static const char kHex[] = "0123456789ABCDEF";
    for (int shift = 12; shift >= 0; shift -= 4) {
        id.push_back(kHex[(product >> shift) & 0xF]);
    }
    return id;
}

std::string MonitorNameFromEdid(const uint8_t* edid, const size_t size) {
    if (!HasEdidHeader(edid, size)) return {};
    for (size_t at = 54; at + 18 <= 126; at += 18) {
        const uint8_t* d = edid + at;
        // A display descriptor: pixel clock 0, then its tag in byte 3.
        if (d[0] != 0 || d[1] != 0 || d[3] != 0xFC) continue;
        std::string name;
        for (size_t i = 5; i < 18 && d[i] != 0x0A; ++i) {
            // Printable ASCII only; anything else would be an odd display name.
            name.push_back(d[i] >= 0x20 && d[i] < 0x7F ? static_cast<char>(d[i]) : '?');
        }
        while (!name.empty() && name.back() == ' ') name.pop_back();
        return name;
    }
    return {};
}

ReportDescriptorSummary SummariseReportDescriptor(const uint8_t* descriptor, const size_t size) {
    ReportDescriptorSummary summary;
    if (descriptor == nullptr) {
        summary.complete = size == 0;
        return summary;
    }
    struct Globals {
        uint32_t usagePage = 0;
        uint32_t reportSize = 0;
        uint32_t reportCount = 0;
        uint32_t reportId = 0;
    };
    constexpr size_t kMaxStack = 16;
    Globals stack[kMaxStack];
    size_t depth = 0;
    Globals g;
    uint32_t firstUsage = 0;  // the first local usage since the last main item
    bool haveUsage = false;
    int collectionDepth = 0;
    bool haveTopLevel = false;
    // Bits per report id, for input, output and feature reports.
    static constexpr size_t kIds = 256;
    std::vector<uint64_t> bits(3 * kIds, 0);

    bool broken = false;  // cut inside an item, or a stack out of bounds
    size_t at = 0;
    while (at < size && !broken) {
        const uint8_t prefix = descriptor[at++];
        if (prefix == 0xFE) {
            // A long item: its data size, its tag, its data. Nothing here reads it.
            if (size - at < 2 || size - at - 2 < descriptor[at]) {
                broken = true;
                break;
            }
            const size_t length = descriptor[at];
            at += 2;
            at += length;
            continue;
        }
        const size_t length = (prefix & 3) == 3 ? 4 : (prefix & 3);
        if (size - at < length) {
            broken = true;
            break;
        }
        uint32_t data = 0;
        for (size_t i = 0; i < length; ++i) data |= static_cast<uint32_t>(descriptor[at + i]) << (8 * i);
        at += length;
        const uint8_t type = (prefix >> 2) & 3;
        const uint8_t tag = prefix >> 4;
        if (type == 1) {  // global
            switch (tag) {
                case 0x0: g.usagePage = data; break;
                case 0x7: g.reportSize = data; break;
                case 0x8: g.reportId = data; break;
                case 0x9: g.reportCount = data; break;
                case 0xA:
                    if (depth == kMaxStack) {
                        broken = true;
                    } else {
                        stack[depth++] = g;
                    }
                    break;
                case 0xB:
                    if (depth == 0) {
                        broken = true;
                    } else {
                        g = stack[--depth];
                    }
                    break;
                default: break;
            }
        } else if (type == 2) {  // local
            if (tag == 0x0 && !haveUsage) {
                // A four-byte usage carries its own page in the high half.
                firstUsage = length == 4 ? data : ((g.usagePage & 0xFFFF) << 16) | (data & 0xFFFF);
                haveUsage = true;
            }
        } else if (type == 0) {  // main
            int kind = -1;
            if (tag == 0x8) kind = 0;
            if (tag == 0x9) kind = 1;
            if (tag == 0xB) kind = 2;
            if (kind >= 0) {
                const uint64_t added = static_cast<uint64_t>(g.reportSize) * g.reportCount;
                uint64_t& total = bits[static_cast<size_t>(kind) * kIds + (g.reportId & 0xFF)];
                total = std::min<uint64_t>(total + added, uint64_t{1} << 40);
            } else if (tag == 0xA) {
                if (collectionDepth == 0 && !haveTopLevel) {
                    haveTopLevel = true;
                    summary.usagePage = static_cast<uint16_t>(firstUsage >> 16);
                    summary.usage = static_cast<uint16_t>(firstUsage & 0xFFFF);
                }
                ++collectionDepth;
            } else if (tag == 0xC) {
                if (collectionDepth > 0) --collectionDepth;
            }
            haveUsage = false;
        }
    }
    uint16_t* const lengths[3] = {&summary.inputReportLength, &summary.outputReportLength,
                                  &summary.featureReportLength};
    for (size_t kind = 0; kind < 3; ++kind) {
        for (size_t id = 0; id < kIds; ++id) {
            const uint64_t b = bits[kind * kIds + id];
            if (b != 0) *lengths[kind] = std::max(*lengths[kind], ReportLength(b));
        }
    }
    summary.complete = !broken;
    return summary;
}

bool PlaceMonitor(MonitorInfo& monitor, const std::string& edidName, const std::vector<DisplayPlacement>& displays) {
    std::string connector = monitor.adapterName;
    // "card0-HDMI-A-1" names connector "HDMI-A-1" of card 0.
    if (connector.rfind("card", 0) == 0) {
        const size_t dash = connector.find('-');
        if (dash != std::string::npos) connector = connector.substr(dash + 1);
    }
    for (const std::string& wanted : {edidName, connector}) {
        if (wanted.empty()) continue;
        const DisplayPlacement* found = nullptr;
        size_t matches = 0;
        for (const DisplayPlacement& display : displays) {
            if (display.name == wanted) {
                found = &display;
                ++matches;
            }
        }
        if (matches == 1) {
            monitor.desktopX = found->x;
            monitor.desktopY = found->y;
            return true;
        }
        if (matches > 1) return false;  // two alike: which one is unknown
    }
    return false;
}

void SetDisplayPlacements(std::vector<DisplayPlacement> displays) {
    const std::lock_guard<std::mutex> lock(gDisplayMutex);
    gDisplays = std::move(displays);
}

std::vector<DisplayPlacement> GetDisplayPlacements() {
    const std::lock_guard<std::mutex> lock(gDisplayMutex);
    return gDisplays;
}

std::unique_ptr<HidSystem> CreateHidSystem(const Backend backend) {
    switch (backend) {
        case Backend::Sdl:
            return CreateSdlHidSystem();
        case Backend::Fake:
            return std::make_unique<FakeHidSystem>();
    }
    return nullptr;
}

HidSystem* GetHidSystem() {
    const std::lock_guard<std::mutex> lock(gSystemMutex);
    return gSystem.get();
}

void SetHidSystem(std::unique_ptr<HidSystem> system) {
    std::unique_ptr<HidSystem> old;
    {
        const std::lock_guard<std::mutex> lock(gSystemMutex);
        old = std::move(gSystem);
        gSystem = std::move(system);
    }
}

HidSystem* GetOrCreateHidSystem() {
    const std::lock_guard<std::mutex> lock(gSystemMutex);
    if (gSystem == nullptr) {
        gSystem = CreateSdlHidSystem();
    }
    return gSystem.get();
}

}  // namespace platform::hid
