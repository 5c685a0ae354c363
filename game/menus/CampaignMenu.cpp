#include "game/menus/CampaignMenu.h"

#include <cstdio>

#include "foundation/ZDefNode.h"
#include "foundation/ZDefinitionFile.h"
#include "foundation/ZStreamMgr.h"
#include "framework/ZBaseGame.h"
#include "framework/ZLocMgr.h"
#include "game/menus/GameFlow.h"
#include "game/menus/GameMenuSupport.h"
#include "game/menus/LoadingMenu.h"
#include "game/world/KorvanthGame.h"
#include "menu/ZMenuLabel.h"
#include "menu/ZMenuMgr.h"
#include "menu/ZMenuUnderlay.h"
#include "renderer/ZFont.h"

namespace {

ZString PageText(const int32_t page, const int32_t count) {
    char text[32];
    std::snprintf(text, sizeof text, "%d / %d", page, count);
    return ZString(text);
}

}  // namespace

ZString CampaignMenu::ReadCampaignName(const ZString& file) {
    static const ZHashedString kCampaign("Campaign");
    static const ZHashedString kName("Name");
    static const ZHashedString kID("ID");
    ZDefNode root;
    LoadDefinitionFile(root, file.GetText());
    // The file's root element is the campaign itself, or holds it.
    const ZDefNode& campaign = root.name == kCampaign ? root : root.FindChild(kCampaign);
    const ZString name = campaign.GetAttribute(kName);
    const ZString id = campaign.GetAttribute(kID);
    if (name.IsEmpty() || id.IsEmpty()) return name;
    const ZHashedString strings((id + "_Strings").GetText());
    const ZHashedString key(name.GetText());
    const ZLocMgr* loc = ZLocMgr::GetInstance();
    return loc->HasString(strings, kCampaign, key) ? loc->GetString(strings, kCampaign, key) : name;
}

CampaignMenu::CampaignMenu() {
    ZStreamMgr::GetInstance()->FindFiles(m_campaignFiles, "*.kdd");
    for (const ZString& file : m_campaignFiles) {
        m_campaignNames.PushBack(ReadCampaignName(file));
    }
    BuildItems(true);
}

int32_t CampaignMenu::GetPageCount() const {
    const auto count = static_cast<int32_t>(m_campaignFiles.Count());
    return count / kRowsPerPage + (count % kRowsPerPage != 0 ? 1 : 0);
}

void CampaignMenu::BuildItems(const bool initial) {
    DeleteItems();
    const bool paged = GetPageCount() > 1;
    const float off = paged ? 0.0f : 10000.0f;
    AddMenuItem(*this, GameMenuText("CampaignMenu", "Back"), 48.0f, 720.0f, 6, 0.6f);
    if (paged) {
        AddMenuItem(*this, GameMenuText("CampaignMenu", "PrevPage"), 48.0f, 640.0f + off, 4, 0.6f);
        AddMenuItem(*this, GameMenuText("CampaignMenu", "NextPage"), 976.0f, 640.0f + off, 5, 0.6f);
    } else {
        AddMenuItem<ZMenuLabel>(*this, GameMenuText("CampaignMenu", "PrevPage"), 48.0f, 640.0f + off, 4, 0.6f);
        AddMenuItem<ZMenuLabel>(*this, GameMenuText("CampaignMenu", "NextPage"), 976.0f, 640.0f + off, 5, 0.6f);
    }
    AddMenuItem<ZMenuLabel>(*this, ZString("1 / 1"), 512.0f, 640.0f + off, 0, 0.6f);
    AddMenuItem<ZMenuLabel>(*this, GameMenuText("CampaignMenu", "Select"), 512.0f, 32.0f, 2, 1.2f);
    const auto count = static_cast<int32_t>(m_campaignFiles.Count());
    const int32_t first = m_page * kRowsPerPage;
    for (int32_t index = first; index < first + kRowsPerPage && index < count; ++index) {
        AddCampaignRow(index);
    }
    if (!initial) {
        SetVisible(true);
    }
}

void CampaignMenu::AddCampaignRow(const int32_t index) {
    const auto slot = static_cast<float>(static_cast<int32_t>(GetItemCount()) - kFirstRow);
    // Joined, not formatted: a name holding '%' shows as it is.
    char number[16];
    std::snprintf(number, sizeof number, "%d. ", index + 1);
    const ZString text = ZString(number) + ReadCampaignName(m_campaignFiles[static_cast<uint32_t>(index)]);
    const ZBaseGame* game = ZBaseGame::PeekInstance();
    ZFont* font = game != nullptr ? game->GetMenuFont() : nullptr;
    // Measured and spaced at the size the row is drawn (0.8 of a 56-unit line).
    float scale = 0.8f;
    float line = 56.0f;
    if (font != nullptr && font->GetLineHeight() > 0) {
        const float perUnit = 56.0f / static_cast<float>(font->GetLineHeight());
        float width = 0.0f;
        font->DrawTextFormatted(text.GetText(), text.GetLength(), &width, nullptr, 0.8f * perUnit, 0.8f * perUnit);
        if (width > 928.0f) scale = 0.8f * 928.0f / width;
        line = static_cast<float>(font->GetLineHeight()) * perUnit;
    }
    AddMenuItem(*this, text, 48.0f, 128.0f + slot * (line * 0.8f * 0.85f), 4, scale);
    UpdatePageText();
}

void CampaignMenu::UpdatePageText() {
    if (ZMenuItem* page = GetItem(3)) page->SetText(PageText(m_page + 1, GetPageCount()));
}

ZString CampaignMenu::GetSelectedName() const {
    if (selectedIndex < kFirstRow || GetItem(selectedIndex) == nullptr) return ZString();
    const int32_t index = m_page * kRowsPerPage + selectedIndex - kFirstRow;
    if (index < 0 || static_cast<uint32_t>(index) >= m_campaignNames.Count()) return ZString();
    return m_campaignNames[static_cast<uint32_t>(index)];
}

void CampaignMenu::ChooseCampaign(const int32_t index) {
    KorvanthGame* game = KorvanthGame::Get();
    gameflow::DiscardSavedGame();
    if (game != nullptr) game->GetDisplay().SetUpWorldLayerMeshes(*game);
    auto* loading = new LoadingMenu();
    loading->SetTarget(m_campaignFiles[static_cast<uint32_t>(index)], false, true);
    GetMenuMgr()->OpenMenu(loading);
}

void CampaignMenu::HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) {
    ZMenu::HandleAction(event, mouse);
    switch (event.kind) {
        case ZMenuEventKind::Accept: {
            const int32_t pages = GetPageCount();
            if (selectedIndex == 0) {
                GetMenuMgr()->CloseMenu();
            } else if ((selectedIndex == 1 || selectedIndex == 2) && pages > 1) {
                m_page += selectedIndex == 1 ? -1 : 1;
                if (m_page < 0) m_page = pages - 1;
                if (m_page > pages - 1) m_page = 0;
                BuildItems(false);
            } else if (selectedIndex >= kFirstRow && GetItem(selectedIndex) != nullptr) {
                const int32_t index = m_page * kRowsPerPage + selectedIndex - kFirstRow;
                if (static_cast<uint32_t>(index) < m_campaignFiles.Count()) ChooseCampaign(index);
            }
            break;
        }
        case ZMenuEventKind::Opened:
            selectedIndex = kFirstRow;
            if (GetItemCount() > static_cast<uint32_t>(kFirstRow)) NotifySelectedItem();
            break;
        case ZMenuEventKind::Resumed: BuildItems(false); break;
        case ZMenuEventKind::Tick: DrawSelectedName(); break;
        default: break;
    }
}

void CampaignMenu::DrawSelectedName() const {
    const ZString name = GetSelectedName();
    const ZBaseGame* game = ZBaseGame::PeekInstance();
    ZFont* font = game != nullptr ? game->GetMenuFont() : nullptr;
    if (font == nullptr || name.IsEmpty()) return;
    float width = 0.0f;
    font->DrawTextFormatted(name.GetText(), name.GetLength(), &width, nullptr, 0.5f, 0.5f, 768.0f, 768.0f);
    const ZMenuMgr* menus = GetMenuMgr();
    const ZColor32 colour = ZColor32::FromARGB(menus->GetOverlayColor());
    // The menu shader slides the glyphs with the menus; no offset here.
    const float x = 512.0f - width / 2.0f;
    font->DrawText(name.GetText(), name.GetLength(), x, 368.0f, 0.5f, 0.5f, colour, colour, 1.0f, 768.0f, 768.0f);
}
