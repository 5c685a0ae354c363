#include "game/menus/LeaderboardMenu.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "entity/ZCommandRunner.h"
#include "foundation/ZLog.h"
#include "framework/ZBaseGame.h"
#include "framework/ZLocMgr.h"
#include "game/menus/GameMenuSupport.h"
#include "game/player/Player.h"
#include "game/progression/SpeedrunComponent.h"
#include "game/world/KorvanthGame.h"
#include "menu/ConfirmationMenu.h"
#include "menu/ZMenuLabel.h"
#include "menu/ZMenuMgr.h"
#include "platform/os/files.h"
#include "renderer/ZFont.h"

namespace {

constexpr const char* kSection = "LeaderboardMenu";
constexpr float kItemScale = 0.6f;
constexpr float kTitleScale = 1.2f;
// The HUD stays on screen under the board: the course timer at its top left
// and the minimap with its prompt at its top right. On the flat display they
// take the menu canvas down to y = 162 and from x = 784 across; through the
// CRT's tube, drawn smaller, down to y = 190 and from x = 740. The title keeps
// between the two, the rows start below them.
constexpr float kTitleWidth = 512.0f;
constexpr float kFirstRowY = 232.0f;

struct ModeRange {
    int32_t mode;
    int32_t first;
    int32_t last;
};

// Where PrevMode and NextMode lead from each mode, with the places asked for.
constexpr ModeRange kPrevMode[] = {{2, 1, 10}, {0, 1, 10}, {1, -4, 5}};
constexpr ModeRange kNextMode[] = {{1, -4, 5}, {2, 1, 10}, {0, 1, 10}};

const char* ModeKey(const int32_t mode) {
    switch (mode) {
        case LeaderboardMenu::kGlobal: return "ModeGlobal";
        case LeaderboardMenu::kFriends: return "ModeFriends";
        default: return "ModeGlobalUser";
    }
}

ZFont* MenuFont() {
    const ZBaseGame* game = ZBaseGame::PeekInstance();
    return game != nullptr ? game->GetMenuFont() : nullptr;
}

float Measure(const ZFont& font, const ZString& text, const float scale) {
    float width = 0.0f;
    font.DrawTextFormatted(text.GetText(), text.GetLength(), &width, nullptr, scale, scale);
    return width;
}

Player* FindPlayer() {
    const KorvanthGame* game = KorvanthGame::Get();
    return game != nullptr ? game->GetPlayer() : nullptr;
}

bool IsNamedCourse(const ZHashedString course) {
    return !course.IsNone() && course != ZHashedString("") && course != ZHashedString("none");
}

}  // namespace

LeaderboardMenu::LeaderboardMenu(const ZHashedString course) : m_course(course) {
    m_courseKey = ZHashedString(ZString(course.GetTextOrEmpty()).Replace(" ", "_").GetText());
    Refresh();
}

ZString LeaderboardMenu::TimeText(const uint32_t milliseconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%02u:%02u.%03u", milliseconds / 60000u, milliseconds / 1000u % 60u,
                  milliseconds % 1000u);
    return ZString(text);
}

ZString LeaderboardMenu::RowText(const LeaderboardEntry& entry, const ZFont* font, float* scaleOut) {
    // Joined, not formatted: a name holding '%' shows as it is.
    ZString left(entry.name.c_str());
    if (entry.rank >= 1) {
        char number[16];
        std::snprintf(number, sizeof number, "%d. ", entry.rank);
        left = ZString(number) + left;
    }
    const ZString right = TimeText(entry.score);
    const ZString dot("  .");
    const ZString gap("  ");
    if (scaleOut != nullptr) *scaleOut = kItemScale;
    if (font == nullptr || font->GetLineHeight() <= 0) return left + gap + right;

    const float s = kItemScale * 56.0f / static_cast<float>(font->GetLineHeight());
    const float dotWidth = Measure(*font, dot, s);
    int32_t dots = 0;
    if (dotWidth > 0.0f) {
        const float room = kRowWidth - Measure(*font, left, s) - Measure(*font, right, s) - Measure(*font, gap, s);
        dots = static_cast<int32_t>(std::floor(room / dotWidth + 0.5f));
    }
    ZString text = left;
    for (int32_t i = 0; i < dots; ++i) text = text + dot;
    text = text + gap + right;
    // The whole row at s, then scaled so that it spans the row exactly.
    const float width = Measure(*font, text, s);
    if (scaleOut != nullptr && width > 0.0f) *scaleOut = kItemScale * kRowWidth / width;
    return text;
}

ZString LeaderboardMenu::GetTitleText() const {
    static const ZHashedString kFile("KorvanthMenus");
    static const ZHashedString kCourses("Leaderboards");
    ZLocMgr* loc = ZLocMgr::GetInstance();
    bool known = false;
    // A course without a name of its own shows as the script named it.
    const ZString course = loc->HasString(kFile, kCourses, m_courseKey, known)
                               ? loc->GetString(kFile, kCourses, m_courseKey)
                               : ZString(m_course.GetTextOrEmpty());
    return GameMenuText(kSection, "Title")
        .Replace("%mode", GameMenuText(kSection, ModeKey(m_mode)).GetText())
        .Replace("%course", course.GetText());
}

void LeaderboardMenu::BuildItems(const ZString* requestingText) {
    DeleteItems();
    AddMenuItem(*this, GameMenuText(kSection, "Back"), 48.0f, 720.0f, 6, kItemScale, "Back");
    AddMenuItem(*this, GameMenuText(kSection, "PrevPage"), 48.0f, 640.0f, 4, kItemScale, "PrevPage");
    AddMenuItem(*this, GameMenuText(kSection, "NextPage"), 976.0f, 640.0f, 5, kItemScale, "NextPage");
    AddMenuItem(*this, GameMenuText(kSection, "PrevMode"), 48.0f, 606.4f, 4, kItemScale, "PrevMode");
    AddMenuItem(*this, GameMenuText(kSection, "NextMode"), 976.0f, 606.4f, 5, kItemScale, "NextMode");
    ZMenuLabel* title = AddMenuItem<ZMenuLabel>(*this, GetTitleText(), 512.0f, 44.0f, 2, kTitleScale, "Title");
    if (title->width > kTitleWidth) title->SetTextScale(kTitleScale * kTitleWidth / title->width);
    if (m_rows.empty()) {
        const ZString message = requestingText != nullptr ? *requestingText : GameMenuText(kSection, "NoEntries");
        AddMenuItem<ZMenuLabel>(*this, message, 512.0f, 288.0f, 0, kItemScale, "Message");
    }
    for (const LeaderboardEntry& entry : m_rows) AddRowItem(entry);
    Select(m_rows.empty() ? 0 : kFirstRow);
    // Items start hidden; the manager shows them when the menu comes on top.
    SetVisible(m_shown);
}

void LeaderboardMenu::AddRowItem(const LeaderboardEntry& entry) {
    const ZFont* font = MenuFont();
    float scale = kItemScale;
    const ZString text = RowText(entry, font, &scale);
    const auto row = static_cast<float>(static_cast<int32_t>(GetItemCount()) - kFirstRow);
    // Rows are spaced by the line of the menu's 0.6 size (a 56-unit line).
    AddMenuItem(*this, text, 64.0f, kFirstRowY + row * 56.0f * kItemScale * 0.85f, 4, scale, "Row");
}

void LeaderboardMenu::Refresh() {
    if (m_requesting || m_closing) return;
    m_rows.clear();
    if (FindPlayerSpeedrun() != nullptr && IsNamedCourse(m_course)) {
        const std::string name = GameMenuText(kSection, "PersonalBest").GetText();
        LeaderboardEntry best = LoadPersonalBestEntry(GetGhostFilePath(m_course), name);
        if (best.rank >= 0) m_rows.push_back(best);
    }
    BuildItems(nullptr);
}

void LeaderboardMenu::PrevPage() {
    m_firstPlace -= 10;
    m_lastPlace -= 10;
    if (m_mode == kGlobal && m_firstPlace < 1) {
        m_firstPlace = 1;
        m_lastPlace = 10;
    }
    Refresh();
}

void LeaderboardMenu::NextPage() {
    m_firstPlace += 10;
    m_lastPlace += 10;
    Refresh();
}

void LeaderboardMenu::PrevMode() {
    const ModeRange& to = kPrevMode[m_mode >= 0 && m_mode <= 2 ? m_mode : kAroundPlayer];
    m_mode = to.mode;
    m_firstPlace = to.first;
    m_lastPlace = to.last;
    Refresh();
}

void LeaderboardMenu::NextMode() {
    const ModeRange& to = kNextMode[m_mode >= 0 && m_mode <= 2 ? m_mode : kAroundPlayer];
    m_mode = to.mode;
    m_firstPlace = to.first;
    m_lastPlace = to.last;
    Refresh();
}

void LeaderboardMenu::Close() {
    if (m_requesting) return;
    m_closing = true;
    GetMenuMgr()->CloseMenu();
}

void LeaderboardMenu::AskToRace(const int32_t row) {
    m_selectedEntry = m_rows[static_cast<size_t>(row)];
    ZBaseGame* game = ZBaseGame::PeekInstance();
    ZMenu* menu = game != nullptr ? game->CreateConfirmationMenu(false) : nullptr;
    auto* confirmation = dynamic_cast<ConfirmationMenu*>(menu);
    if (confirmation == nullptr) {
        delete menu;
        return;
    }
    confirmation->SetDescription(GameMenuText(kSection, "ConfirmRaceGhost").ExpandNewlines());
    confirmation->yesCallback = &LeaderboardMenu::RaceGhost;
    confirmation->context = this;
    GetMenuMgr()->OpenMenu(confirmation);
}

void LeaderboardMenu::HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) {
    // The base closes on Cancel; while a request is outstanding it may not.
    cannotCancel = m_requesting;
    ZMenu::HandleAction(event, mouse);
    switch (event.kind) {
        case ZMenuEventKind::Opened:
            m_shown = true;
            Select(m_rows.empty() ? 0 : kFirstRow);
            break;
        case ZMenuEventKind::Covered:
        case ZMenuEventKind::Closing: m_shown = false; break;
        case ZMenuEventKind::Accept: {
            const int32_t row = selectedIndex - kFirstRow;
            switch (selectedIndex) {
                case 0: Close(); break;
                case 1: PrevPage(); break;
                case 2: NextPage(); break;
                case 3: PrevMode(); break;
                case 4: NextMode(); break;
                default:
                    if (row >= 0 && static_cast<size_t>(row) < m_rows.size()) AskToRace(row);
                    break;
            }
            break;
        }
        case ZMenuEventKind::Cancel:
            if (!m_requesting) m_closing = true;
            break;
        case ZMenuEventKind::Resumed:
            m_shown = true;
            Refresh();
            break;
        default: break;
    }
}

void LeaderboardMenu::RaceGhost(void* const context) {
    auto* menu = static_cast<LeaderboardMenu*>(context);
    if (menu == nullptr) return;
    menu->m_rows.clear();
    menu->BuildItems(nullptr);
    // The menu goes with the others now: the confirmation's closing must not
    // bring its rows back.
    menu->m_closing = true;

    SpeedrunComponent* speedrun = FindPlayerSpeedrun();
    if (speedrun != nullptr) {
        // The course's file as it is, whole or not at all; no course file
        // leaves an empty one, which races nothing.
        static const ZHashedString kLeaderboardGhost("Leaderboard Ghost");
        const std::vector<uint8_t> bytes = LoadGhostFileData(GetGhostFilePath(menu->m_course));
        const std::string path = GetGhostFilePath(kLeaderboardGhost);
        if (!WriteGhostFileData(path, bytes)) {
            ZLog::Printf("Leaderboard: the ghost of %s could not be made the race", menu->m_course.GetTextOrEmpty());
        }
    }
    GetMenuMgr()->CloseAll();
    if (speedrun != nullptr) {
        // The flag first: when the player stands on the course, the reset
        // enters it again at once and must take the chosen ghost as its race.
        speedrun->RaceLeaderboardGhost(true);
        speedrun->ResetRun();
    }
    const Player* player = FindPlayer();
    const std::string command = std::string("teleport self ") + menu->m_course.GetTextOrEmpty() + " save";
    RunCommandText(command.c_str(), player != nullptr ? player->GetHandle() : 0, 0);
}
