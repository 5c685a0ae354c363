#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "entity/ZDatum.h"
#include "entity/ZSerialComponent.h"
#include "foundation/ZString.h"
#include "foundation/ZUpdatable.h"
#include "game/progression/GhostFile.h"

class Ghost;
class ZSpatialComponent;

// On the player: the speedrun courses. A room whose definition holds a
// "Speedrun" element belongs to the course it names; the room loader tells
// the component on every room load. On a course the timer runs while the
// room says so, deaths are counted, powerups granted during the course are
// kept apart from the saved progress, and the run is recorded as a ghost
// (a frame at most every 0.1 s of course time, and only after a move). A
// committed run is written as the course's ghost file, whose header is also
// the course's best time; the raced ghost's pose is taken from its frames at
// the course time, and the ghost entity the component owns while on a course
// shows it beside the player.
class SpeedrunComponent : public ZSerialComponent, public ZUpdatable {
    Z_RTTI(SpeedrunComponent, ZSerialComponent)

public:
    struct CourseResult {
        float time = 0.0f;  // seconds; -1: none
        int32_t deaths = 0;
        int32_t collectables = 0;
    };
    struct Pose {
        float x = 0.0f;
        float y = 0.0f;
        int32_t facing = 0;
        int32_t toX = 0;
        int32_t toY = 0;
        int32_t fromX = 0;
        int32_t fromY = 0;
        bool fromFrames = false;  // false: there are no frames to pose from
        // The segment the pose lies on: its two frames' places, each inside
        // its own room (from, to), and how far along it the time is.
        float startX = 0.0f;
        float startY = 0.0f;
        float endX = 0.0f;
        float endY = 0.0f;
        float t = 0.0f;
    };

    // Used when the localised timer text is not a format of exactly three
    // integers.
    static constexpr const char* kDefaultTimerFormat = "%02d:%02d.%03d";

    // Where the game stands for placing the ghost: the current room and the
    // current map's room range (first column and row, end column and row,
    // both ends exclusive).
    struct RoomView {
        int32_t roomX = 0;
        int32_t roomY = 0;
        int32_t firstX = 0;
        int32_t firstY = 0;
        int32_t endX = 0;
        int32_t endY = 0;
    };

    SpeedrunComponent();
    // The ghost goes with the component.
    ~SpeedrunComponent() override;

    ZHashedString GetSerialName() const override;
    void Save(ZDefNode& element) const override;
    void ReadDefinition(const ZDefNode& element) override;

    // Fixed step (mask bit 2): the timer runs (not while a room or door
    // transition plays) and a frame may be recorded. Frame tick (bit 4): the
    // timer's text is drawn while on a course and no dialog is open.
    void Update(float timeStep, uint8_t mask) override;

    void SetCourseState(bool onCourse, bool timerActive, ZHashedString course);
    void AdvanceTimer(float dt);
    void RecordGhostFrame(bool force, bool evenOffCourse);
    // The course's best: true with no reference time at all, else when the
    // frozen time is below the reference (saved time, the ghost file's, the
    // stored result, in that order, each only when positive). Only for a
    // finished run of a named course; the ghost check runs whatever the run.
    bool IsNewBest();
    // Reports "ACH_SPEEDRUN_GHOST" when the raced leaderboard ghost is beaten:
    // its last frame's time is above the elapsed time. Answers whether it was.
    bool CheckGhostAchievement();
    float GetResultTime(ZHashedString course) const;
    // The course ghost file's run time (-1 without one); a positive time
    // better than the stored result replaces it, and a named course without a
    // result gets one holding that value (-1 included); either change has
    // the achievements checked again. A missing, old, cut or foreign file
    // never touches a stored result.
    float ReadGhostBestTime(ZHashedString course);
    // The finished run: its result and its ghost file. Only on a course with
    // the timer stopped.
    bool Commit();
    // A fresh run of the same course state: off the course and on again
    // (time, deaths, frames and the ghost start over, a new run id), the
    // course's powerups cleared, and the player's abilities, one jump back
    // and the coffee reset.
    void ResetRun();
    // Starts the course over: a fresh run, and the player back at the course's
    // start (its teleport destination). Only on a named course.
    void RestartCourse();

    bool HasCoursePowerup(uint32_t id, bool& out) const;
    // The player's blackboard keys of powerups ("Powerup_" and eight hex
    // digits) are the course's while on a course: claimed, and answered
    // from the course's set.
    bool IsCoursePowerupKey(ZHashedString key) const;
    bool GetCoursePowerupValue(ZHashedString key) const;
    // A Bool datum of the key's course value; false (out untouched) for any
    // key the course does not claim.
    bool GetCoursePowerupDatum(ZHashedString key, ZDatumEntry& out) const;
    // The course's set changes what the player can do at once (its jumps).
    void GrantCoursePowerup(uint32_t id);
    void ClearCoursePowerups();

    // The timer text for a time in seconds, formatted with the localised
    // format when it is safe, else the built-in one.
    std::string FormatTimer(float elapsed) const;
    const ZString& GetTimerFormat() const { return m_timerFormat; }
    void SetTimerFormat(const ZString& format);

    // The race ghost's pose at the course time (the replay cursor moves on).
    Pose GhostPose(float time);
    // Puts the ghost's spatial state at the raced run's pose for the course
    // time (no smoothing), its facing component at the pose's facing, and
    // shows it only while a run is raced and the pose's rooms lie in the
    // current map. Without frames the ghost sits on the player, hidden. A
    // segment whose frames lie in two rooms is followed in the current room's
    // terms, so the ghost crosses the boundary where the runner did.
    void UpdateGhostPose(ZSpatialComponent& spatial);
    void UpdateGhostPose(ZSpatialComponent& spatial, const RoomView& view);
    // The game's current room and map range (all zero without a game).
    static RoomView CurrentRoomView();
    // The ghost entity while on a course (null otherwise).
    Ghost* GetGhost() const { return m_ghost.get(); }
    const std::vector<GhostFrame>& GetRace() const { return m_race; }
    bool IsRacingLeaderboardGhost() const { return m_raceLeaderboardGhost; }
    void SetRace(const std::vector<GhostFrame>& frames) { m_race = frames; m_replayCursor = 0; }
    void RaceLeaderboardGhost(bool race) { m_raceLeaderboardGhost = race; }

    bool IsOnCourse() const { return m_onCourse; }
    bool IsTimerActive() const { return m_timerActive; }
    // Stops the course timer where it stands (a quick start into a course).
    void ClearTimerActive() { m_timerActive = false; }
    float GetElapsed() const { return m_elapsed; }
    int32_t GetDeaths() const { return m_deaths; }
    void AddDeath();
    uint32_t GetSessionGUID() const { return m_sessionGUID; }
    ZHashedString GetCourse() const { return m_course; }
    const std::vector<GhostFrame>& GetRecording() const { return m_recording; }
    const std::map<ZHashedString, CourseResult>& GetResults() const { return m_results; }

private:
    void NewSessionGUID();
    bool HasNamedCourse() const;
    void CreateGhost();
    void DeleteGhost();
    void DrawTimer() const;

    ZString m_timerFormat;
    bool m_timerSafe = false;
    bool m_onCourse = false;
    bool m_timerActive = false;
    float m_elapsed = 0.0f;
    int32_t m_deaths = 0;
    std::set<uint32_t> m_coursePowerups;
    uint32_t m_sessionGUID = 0;
    std::vector<GhostFrame> m_recording;
    std::vector<GhostFrame> m_race;
    std::unique_ptr<Ghost> m_ghost;
    int32_t m_replayCursor = 0;
    ZHashedString m_course;
    bool m_raceLeaderboardGhost = false;
    float m_savedTime = -1.0f;
    std::map<ZHashedString, CourseResult> m_results;
};

// Whether a text is a printf format with exactly count integer conversions
// ("%d" or "%i" with flags and a width of digits) and nothing else but "%%".
bool IsIntegerFormat(const char* format, int count);
// The player's component, or null.
SpeedrunComponent* FindPlayerSpeedrun();
