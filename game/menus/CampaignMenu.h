#pragma once

#include <cstdint>

#include "foundation/ZArray.h"
#include "foundation/ZString.h"
#include "menu/ZMenu.h"

// Campaign select: every campaign file ("*.kdd") the mounted sources hold,
// six numbered rows to a page under the heading "Select", with paging, and
// the selected campaign's name drawn below the rows. Choosing a row throws
// the saved game away and opens the loading screen for that campaign as a
// new game; the menu stays below it. Back or Cancel closes it.
class CampaignMenu : public ZMenu {
public:
    static constexpr int32_t kRowsPerPage = 6;
    static constexpr int32_t kFirstRow = 5;  // items before the rows

    CampaignMenu();

    void HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) override;
    // Campaigns / 6, one more for a remainder; 0 without campaigns.
    int32_t GetPageCount() const;
    int32_t GetPage() const { return m_page; }
    const ZArray<ZString>& GetCampaignFiles() const { return m_campaignFiles; }
    const ZArray<ZString>& GetCampaignNames() const { return m_campaignNames; }
    // The name line under the rows, empty while no row is selected.
    ZString GetSelectedName() const;

    // The "Name" of a campaign file's "Campaign" element; empty when missing.
    // A name that is a key of the [Campaign] section of the campaign's own
    // strings ("<ID>_Strings") shows as that string, in the player's language.
    static ZString ReadCampaignName(const ZString& file);

private:
    void BuildItems(bool initial);
    void AddCampaignRow(int32_t index);
    void UpdatePageText();
    void ChooseCampaign(int32_t index);
    void DrawSelectedName() const;

    int32_t m_page = 0;
    ZArray<ZString> m_campaignFiles;
    ZArray<ZString> m_campaignNames;
};
