#pragma once

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "entity/ZSerialComponent.h"
#include "foundation/ZUpdatable.h"
#include "input/ZInputPrompt.h"
#include "game/progression/MinimapDefinitions.h"
#include "renderer/ZImage.h"

class Player;
class ZDefNode;
struct RoomMinimap;
struct MinimapView;

// On the player: which rooms of each minimap the player has discovered and
// how many of each room's gems are collected, and the minimap picture painted
// from them. Every discovered room paints its cell from the minimap's base
// bitmap (merged with the overlay where the base is dark); a room whose gems
// are not all collected carries a five-pixel marker from "minimapflash.bmp";
// rooms never visited stay black. The picture is kept here, 256 x 256 texels
// (0xAARRGGBB), and copied into "MINIMAP_TEXTURE" when a texture manager
// holds one.
class MinimapComponent : public ZSerialComponent, public ZUpdatable {
    Z_RTTI(MinimapComponent, ZSerialComponent)

public:
    static constexpr int32_t kTextureSize = 256;
    static constexpr int32_t kCell = 6;
    static constexpr uint32_t kBlack = 0xFF000000u;

    struct RoomCount {
        int32_t collected = 0;
        int32_t total = 0;
        bool operator==(const RoomCount&) const = default;
    };
    // minimap id -> room X -> room Y -> counts
    using Discovered = std::map<ZHashedString, std::map<int32_t, std::map<int32_t, RoomCount>>>;

    MinimapComponent();
    ~MinimapComponent() override;

    ZHashedString GetSerialName() const override;
    // "Discovered" elements ("MapID") of "Room" elements ("X", "Y",
    // "Gems_Coll", "Gems_Total"), and "Version" "2".
    void Save(ZDefNode& element) const override;
    void ReadDefinition(const ZDefNode& element) override;

    // Fixed step: discovers the owner's room (counting it again after the
    // room loader asked for a recount). Frame tick: the full map's input
    // prompt beside the minimap.
    void Update(float timeStep, uint8_t mask) override;
    // The prompt shows while the map has a minimap that the settings show,
    // no dialog is open for the owner and no door transition plays.
    bool IsPromptShown() const;
    // Draws it with the HUD font at its place beside the minimap: its lower
    // left corner at (kPromptX, kPromptY), above the plate's top left corner
    // (MinimapBackTexture), so that it never covers the plate's frame.
    void DrawPrompt();
    static constexpr float kPromptX = 198.5f;
    static constexpr float kPromptY = 14.5f;

    // Discovers the room under the owner (or under the given world position):
    // counts its gems when forced or not yet discovered, and paints its cell.
    void TouchRoom(bool force, bool useGiven, float x, float y);
    // The room loader's hand-in of the current map's minimap: placement, the
    // two bitmaps (loaded when the id changes) and the id.
    void LoadMapImages(const char* base, const char* overlay, int32_t ox, int32_t oy, int32_t w, int32_t h,
                       int32_t px, int32_t py, ZHashedString minimap);
    // Clears the picture and paints the discovered rooms of the minimap, when
    // it is not current already.
    void SetCurrentMap(ZHashedString minimap);
    // Forgets the current minimap (the room loader does before each hand-in).
    void ResetCurrentMap() { m_currentMinimap = ZHashedString(); }
    // A new run: no room discovered, no minimap current, the picture black.
    void ClearDiscovered();
    void RequestRecount() { m_recount = true; }
    // Paints one room's cell.
    void FillRoom(int32_t x, int32_t y, const RoomCount& count);
    // Paints every room of the current map without discovering it; the next
    // repaint shows only the discovered rooms again.
    void FillAllRooms();

    // The collection tables (campaign start) and a collection's count.
    MinimapTables& GetTables() { return m_tables; }
    const MinimapTables& GetTables() const { return m_tables; }
    GemCount CountCollection(ZHashedString collection);
    // The collection of the current minimap (where the player is), counted,
    // and the key of its title in the "Collections" strings.
    GemCount CountCurrentLocation();
    ZHashedString GetCurrentLocationTitleKey() const;
    // The gem count of a list of entities: their instance files and saved
    // records, where a live entity's "MapHelperInvalidated" datum has the
    // last word.
    static GemCount CountCollectibles(const std::vector<uint32_t>& ids);

    bool GetFixPosition(ZHashedString name, float& x, float& y) const;
    void SetFixPosition(ZHashedString name, float x, float y) { m_fixPositions[name] = {x, y}; }
    void ClearFixPositions() { m_fixPositions.clear(); }

    const Discovered& GetDiscovered() const { return m_discovered; }
    ZHashedString GetCurrentMinimap() const { return m_currentMinimap; }
    RoomCount GetCurrentCount() const { return m_currentCount; }
    int32_t GetVersion() const { return m_version; }
    // One texel of the picture (0xAARRGGBB); black outside it.
    uint32_t GetTexel(int32_t x, int32_t y) const;
    int32_t GetOriginX() const { return m_originX; }
    int32_t GetOriginY() const { return m_originY; }
    int32_t GetWidth() const { return m_width; }
    int32_t GetHeight() const { return m_height; }
    int32_t GetPlaceX() const { return m_placeX; }
    int32_t GetPlaceY() const { return m_placeY; }
    // The current minimap's base picture, with the overlay's rooms merged in
    // as they were filled.
    const ZImage& GetBaseImage() const { return m_base; }

private:
    RoomCount CountRoom(int32_t x, int32_t y) const;
    void PaintCurrentMapRooms();
    void PaintCell(int32_t x, int32_t y, const RoomCount& count);
    void Upload() const;

    int32_t m_originX = 0;
    int32_t m_originY = 0;
    int32_t m_width = 0;
    int32_t m_height = 0;
    int32_t m_placeX = 0;
    int32_t m_placeY = 0;
    ZImage m_base;
    ZImage m_overlay;
    ZImage m_flash;
    int32_t m_version = 0;
    Discovered m_discovered;
    ZHashedString m_currentMinimap;
    RoomCount m_currentCount;
    bool m_recount = false;
    bool m_hasTexture = false;
    MinimapTables m_tables;
    std::map<ZHashedString, std::pair<float, float>> m_fixPositions;
    std::vector<uint32_t> m_texels;
    ZInputPrompt m_prompt;
};

// Campaign start: fills the component's collection tables from
// "Minimaps.zdd" and each map of the campaign (its "Src" file and its
// "Metadata"/"Minimap" name), then counts every collection once. The fix
// positions of the campaign before are forgotten.
void LoadMinimapsFile(MinimapComponent& component, const ZArray<ZDefNode>& maps);
// A room's minimap entry shown by the component (the player's room minimap
// hook, installed at start-up).
void ShowRoomMinimap(MinimapComponent& component, const RoomMinimap& minimap);
void ShowPlayerRoomMinimap(Player& player, const RoomMinimap& minimap);
// What the room loader does for a room whose minimap has that name: forget the
// current minimap, ask for a recount, and show each matching entry of
// "Minimaps.zdd" (case ignored). A name that matches none leaves none current.
void HandInRoomMinimap(MinimapComponent& component, const ZString& minimapName);
// The player's component, or null.
MinimapComponent* FindPlayerMinimap();
// The display's view of the player's minimap (the display state's source).
bool FillPlayerMinimapView(MinimapView& out);
