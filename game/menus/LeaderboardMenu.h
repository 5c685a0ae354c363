#pragma once

#include <cstdint>
#include <vector>

#include "foundation/ZHashedString.h"
#include "foundation/ZString.h"
#include "game/progression/GhostFile.h"
#include "menu/ZMenu.h"

class ZFont;

// The times of one speedrun course, opened by the script verb
// "showleaderboard [course]". Its rows come from the player's own best run
// (the course's ghost file); three modes (global, around the player,
// friends) and pages of ten places name the range a leaderboard service would
// be asked for, and change the title. Choosing a row asks whether to race it:
// yes copies the course's ghost file to "Leaderboard Ghost", closes every
// menu, starts the run over with that ghost as the race and sends the player
// to the course's start. Back or Cancel closes it.
class LeaderboardMenu : public ZMenu {
public:
    enum Mode : int32_t { kGlobal = 0, kAroundPlayer = 1, kFriends = 2 };
    static constexpr int32_t kFirstRow = 6;  // items before the rows
    static constexpr float kRowWidth = 896.0f;

    // course: the course's name; "none" when the command named none.
    explicit LeaderboardMenu(ZHashedString course);

    void HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) override;

    void PrevPage();
    void NextPage();
    void PrevMode();
    void NextMode();
    // Reads the rows again and rebuilds the items; nothing while a request
    // is outstanding or the menu is closing.
    void Refresh();
    // The yes answer of the race question; context is the menu.
    static void RaceGhost(void* context);

    // "<rank>. <name>" (the name alone below rank 1), a dot leader, then the
    // time as "mm:ss.mmm", so that in the font at the row's size every row is
    // kRowWidth units wide. scaleOut gets the text scale (as
    // ZMenuItem::SetTextScale) that makes it so. Without a font the leader
    // is empty and the scale that of the other items.
    static ZString RowText(const LeaderboardEntry& entry, const ZFont* font, float* scaleOut);
    // "mm:ss.mmm" of a time in milliseconds; minutes grow past 59.
    static ZString TimeText(uint32_t milliseconds);

    ZHashedString GetCourse() const { return m_course; }
    int32_t GetMode() const { return m_mode; }
    int32_t GetFirstPlace() const { return m_firstPlace; }
    int32_t GetLastPlace() const { return m_lastPlace; }
    const std::vector<LeaderboardEntry>& GetRows() const { return m_rows; }
    const LeaderboardEntry& GetSelectedEntry() const { return m_selectedEntry; }
    bool IsClosing() const { return m_closing; }
    // The title as shown: the mode's and the course's names in the "Title" text.
    ZString GetTitleText() const;

private:
    // requestingText: shown in place of "NoEntries" while a service works.
    void BuildItems(const ZString* requestingText);
    void AddRowItem(const LeaderboardEntry& entry);
    void AskToRace(int32_t row);
    void Close();

    std::vector<LeaderboardEntry> m_rows;
    ZHashedString m_course;
    ZHashedString m_courseKey;  // the course with each blank as '_': its name's key
    int32_t m_mode = kAroundPlayer;
    int32_t m_firstPlace = -4;
    int32_t m_lastPlace = 5;
    bool m_requesting = false;  // no service in this game: never set
    bool m_closing = false;
    bool m_shown = false;  // on top and visible: rebuilt items show at once
    LeaderboardEntry m_selectedEntry;
};
