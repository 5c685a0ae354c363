#include "game/progression/SpeedrunComponent.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <string>

#include "entity/ZCommandRunner.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZDialogConsumerComponent.h"
#include "entity/ZFacingComponent.h"
#include "entity/ZPhysicsComponent.h"
#include "entity/ZRenderableComponent.h"
#include "entity/ZSpatialComponent.h"
#include "foundation/ZLog.h"
#include "framework/ZPlatformServices.h"
#include "framework/ZRuntimeRand.h"
#include "framework/ZLocMgr.h"
#include "game/components/CoffeeComponent.h"
#include "game/player/Player.h"
#include "game/player/PlayerHooks.h"
#include "game/player/PlayerProgress.h"
#include "game/progression/Ghost.h"
#include "renderer/ZFont.h"
#include "game/world/GameStatistics.h"
#include "game/world/KorvanthGame.h"

namespace {

struct Names {
    ZHashedString kind{"Speedrun"};
    ZHashedString onCourse{"OnCourse"};
    ZHashedString timerActive{"TimerActive"};
    ZHashedString elapsed{"Elapsed"};
    ZHashedString session{"SessionGUID"};
    ZHashedString deaths{"Deaths"};
    ZHashedString savedTime{"SavedTime"};
    ZHashedString courseId{"CourseID"};
    ZHashedString lastEvent{"LastEvent"};
    ZHashedString equipment{"Equipment"};
    ZHashedString powerup{"Powerup"};
    ZHashedString result{"Result"};
    ZHashedString collectables{"Collectables"};
    ZHashedString tempGhost{"Temp Ghost"};
    ZHashedString leaderboardGhost{"Leaderboard Ghost"};
};

const Names& N() {
    static const Names names;
    return names;
}

ZString Text(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return ZString(text);
}

// The owner's abilities follow the powerups it holds, and on a course those
// are the course's.
void RefreshOwnerAbilities(ZEntity* const owner) {
    if (Player* const player = DynamicCast<Player>(owner)) RefreshPlayerAbilities(*player);
}

ZString Int(const int32_t value) { return ZString(std::to_string(value).c_str()); }

ZString Hex(const uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%08x", value);
    return ZString(text);
}

}  // namespace

bool IsIntegerFormat(const char* format, const int count) {
    if (format == nullptr) return false;
    int found = 0;
    for (const char* p = format; *p != 0; ++p) {
        if (*p != '%') continue;
        ++p;
        if (*p == '%') continue;
        while (*p == '-' || *p == '+' || *p == ' ' || *p == '0' || *p == '#') ++p;
        int width = 0;
        while (*p >= '0' && *p <= '9' && width < 3) {
            ++p;
            ++width;
        }
        if (*p != 'd' && *p != 'i') return false;
        ++found;
    }
    return found == count;
}

SpeedrunComponent::SpeedrunComponent() : ZUpdatable(6) {
    m_course = ZHashedString();
    ZString format;
    if (const ZLocMgr* loc = ZLocMgr::GetInstance()) {
        for (const char* key : {"Minutes", "Seconds", "Millisecs"}) {
            format += loc->GetString(ZHashedString("General"), ZHashedString("DialogHints"), ZHashedString(key));
        }
    }
    SetTimerFormat(format);
}

SpeedrunComponent::~SpeedrunComponent() { DeleteGhost(); }

void SpeedrunComponent::CreateGhost() {
    if (m_ghost != nullptr) return;
    m_ghost = std::make_unique<Ghost>();
    m_ghost->SetOwner(this);
}

// The ghost has no saved state of its own (it carries no GUID), so it goes
// without a record.
void SpeedrunComponent::DeleteGhost() { m_ghost.reset(); }

void SpeedrunComponent::SetTimerFormat(const ZString& format) {
    m_timerFormat = format;
    m_timerSafe = IsIntegerFormat(format.GetText(), 3) && format.GetLength() < 64;
    if (!m_timerSafe && !format.IsEmpty()) {
        ZLog::Printf("The speedrun timer text \"%s\" is not a format of three numbers; the timer shows %s",
                     format.GetText(), kDefaultTimerFormat);
    }
}

std::string SpeedrunComponent::FormatTimer(const float elapsed) const {
    const float clamped = std::isfinite(elapsed) ? std::fmin(std::fmax(elapsed, 0.0f), 2.0e9f) : 0.0f;
    const int32_t whole = static_cast<int32_t>(clamped);
    const int32_t minutes = whole / 60;
    const int32_t seconds = whole - 60 * minutes;
    const int32_t millis = static_cast<int32_t>((clamped - static_cast<float>(whole)) * 1000.0f);
    char text[64];
    std::snprintf(text, sizeof text, m_timerSafe ? m_timerFormat.GetText() : kDefaultTimerFormat, minutes, seconds,
                  millis);
    return text;
}

ZHashedString SpeedrunComponent::GetSerialName() const { return N().kind; }

bool SpeedrunComponent::HasNamedCourse() const { return !m_course.IsNone() && m_course != ZHashedString(""); }

void SpeedrunComponent::NewSessionGUID() {
    uint32_t guid = 0;
    do {
        guid = 0;
        for (int i = 0; i < 4; ++i) {
            const int32_t r = RuntimeRand();
            guid = (guid << 8) | static_cast<uint32_t>((r + 0.5) * 256.0 / 32768.0);
        }
    } while (guid == 0 || guid == m_sessionGUID);
    m_sessionGUID = guid;
}

void SpeedrunComponent::SetCourseState(const bool onCourse, const bool timerActive, const ZHashedString course) {
    // Reaching the finish: still on the course, the running timer stops.
    const bool finishing = m_onCourse && onCourse && m_timerActive && !timerActive;
    if (!course.IsNone() && course != ZHashedString("")) m_course = course;
    const bool changed = onCourse != m_onCourse;
    if (changed) {
        m_elapsed = 0.0f;
        m_deaths = 0;
        m_recording.clear();
        m_race.clear();
        m_replayCursor = 0;
        if (!onCourse) {
            m_course = ZHashedString("");
            m_sessionGUID = 0;
            DeleteGhost();
        } else {
            if (m_raceLeaderboardGhost) m_race = ReadGhostFile(GetGhostFilePath(N().leaderboardGhost)).frames;
            NewSessionGUID();
            CreateGhost();
        }
        m_savedTime = -1.0f;
    }
    m_onCourse = onCourse;
    if (timerActive != m_timerActive) {
        RecordGhostFrame(true, true);
        m_timerActive = timerActive;
    }
    if (changed) RefreshOwnerAbilities(GetOwner());
    // The ghost disappears when the run ends.
    if (finishing && m_elapsed > 0.0f) DeleteGhost();
}

void SpeedrunComponent::Update(const float timeStep, const uint8_t mask) {
    if ((mask & 2) != 0) {
        // The clock waits while the screen slides to the next room.
        if (!IsTransitionPlaying()) AdvanceTimer(timeStep);
        RecordGhostFrame(false, false);
    }
    if ((mask & 4) != 0 && m_onCourse) {
        const ZDialogConsumerComponent* const dialog = GetComponent<ZDialogConsumerComponent>(GetOwner());
        if (dialog == nullptr || dialog->provider == 0) DrawTimer();
    }
}

void SpeedrunComponent::DrawTimer() const {
    const ZBaseGame* const game = ZBaseGame::PeekInstance();
    ZFont* const font = game != nullptr ? game->GetHUDFont() : nullptr;
    if (font == nullptr) return;
    const std::string text = FormatTimer(m_elapsed);
    const ZColor32 white = ZColor32::FromARGB(0xFFFFFFFFu);
    font->DrawText(text.c_str(), static_cast<int32_t>(text.size()), 16.0f, 16.0f, 1.0f, 1.0f, white, white);
}

void SpeedrunComponent::AdvanceTimer(const float dt) {
    if (m_timerActive) m_elapsed += dt;
}

void SpeedrunComponent::AddDeath() {
    ++m_deaths;
    RecordGhostFrame(true, false);
}

void SpeedrunComponent::RecordGhostFrame(const bool force, const bool evenOffCourse) {
    if (!evenOffCourse && !(m_onCourse && m_timerActive)) return;
    const ZSpatialComponent* spatial = GetComponent<ZSpatialComponent>(GetOwner());
    if (spatial == nullptr) return;
    const float x = spatial->GetPosition().x;
    const float y = spatial->GetPosition().y;
    float lastTime = -10000.0f;
    float lastX = -10000.0f;
    float lastY = -10000.0f;
    if (!m_recording.empty()) {
        lastTime = m_recording.back().time;
        lastX = m_recording.back().x;
        lastY = m_recording.back().y;
    }
    if (!force && !evenOffCourse) {
        const float dx = x - lastX;
        const float dy = y - lastY;
        if (!(m_elapsed - lastTime > 0.1f && dx * dx + dy * dy > 0.001f)) return;
    }
    GhostFrame frame;
    frame.time = m_elapsed;
    if (const KorvanthGame* game = KorvanthGame::Get()) {
        frame.roomX = game->GetMapData().currentRoomX;
        frame.roomY = game->GetMapData().currentRoomY;
    }
    frame.x = x;
    frame.y = y;
    const ZFacingComponent* facing = GetComponent<ZFacingComponent>(GetOwner());
    frame.facing = facing != nullptr ? facing->facing : 0;
    m_recording.push_back(frame);
}

bool SpeedrunComponent::HasCoursePowerup(const uint32_t id, bool& out) const {
    if (!m_onCourse) return false;
    out = m_coursePowerups.count(id) != 0;
    return true;
}

bool SpeedrunComponent::IsCoursePowerupKey(const ZHashedString key) const {
    if (!m_onCourse) return false;
    const char* const text = key.GetText();
    return text != nullptr && std::strlen(text) == 16 && strncasecmp(text, "Powerup_", 8) == 0;
}

bool SpeedrunComponent::GetCoursePowerupValue(const ZHashedString key) const {
    return IsCoursePowerupKey(key) && m_coursePowerups.count(HexToInt(key.GetText() + 8)) != 0;
}

bool SpeedrunComponent::GetCoursePowerupDatum(const ZHashedString key, ZDatumEntry& out) const {
    if (!IsCoursePowerupKey(key)) return false;
    out = ZDatumEntry::Bool(GetCoursePowerupValue(key));
    return true;
}

void SpeedrunComponent::GrantCoursePowerup(const uint32_t id) {
    m_coursePowerups.insert(id);
    RefreshOwnerAbilities(GetOwner());
}

void SpeedrunComponent::ClearCoursePowerups() {
    m_coursePowerups.clear();
    RefreshOwnerAbilities(GetOwner());
}

float SpeedrunComponent::GetResultTime(const ZHashedString course) const {
    const auto it = m_results.find(course);
    return it != m_results.end() ? it->second.time : -1.0f;
}

float SpeedrunComponent::ReadGhostBestTime(const ZHashedString course) {
    const float best = ::ReadGhostBestTime(GetGhostFilePath(course));
    if (course.IsNone() || course == ZHashedString("")) return best;
    // A course met for the first time gets its entry, holding no time (-1)
    // while its ghost file has none; a time from the file replaces only a
    // slower one or none, never a time with none.
    const auto it = m_results.find(course);
    const bool first = it == m_results.end();
    if (first || (best > 0.0f && (it->second.time > best || it->second.time <= 0.0f))) {
        m_results[course].time = best;
        UpdateAchievementsFromStats(KorvanthGame::Get(), "");
    }
    return best;
}

bool SpeedrunComponent::IsNewBest() {
    // The race against the leaderboard's ghost counts however the run stands.
    CheckGhostAchievement();
    if (!m_onCourse || m_timerActive || !HasNamedCourse()) return false;
    const float stored = GetResultTime(m_course);
    const float fromFile = ReadGhostBestTime(m_course);
    float reference = -1.0f;
    if (m_savedTime > 0.0f) {
        reference = m_savedTime;
    } else if (fromFile > 0.0f) {
        reference = fromFile;
    } else if (stored > 0.0f) {
        reference = stored;
    }
    return reference <= 0.0f || m_elapsed < reference;
}

bool SpeedrunComponent::CheckGhostAchievement() {
    if (!m_raceLeaderboardGhost || m_race.empty() || !(m_elapsed < m_race.back().time)) return false;
    if (ZPlatformServices* const services = GetPlatformServices()) {
        static const ZHashedString kGhost("ACH_SPEEDRUN_GHOST");
        services->UnlockAchievement(kGhost);
    }
    return true;
}

bool SpeedrunComponent::Commit() {
    if (!m_onCourse || m_timerActive || !HasNamedCourse()) return false;
    m_results[m_course].time = m_elapsed;
    UpdateAchievementsFromStats(KorvanthGame::Get(), "");
    return WriteGhostFile(GetGhostFilePath(m_course), m_elapsed, static_cast<uint32_t>(m_deaths), m_recording);
}

void SpeedrunComponent::ResetRun() {
    const bool onCourse = m_onCourse;
    const bool timerActive = m_timerActive;
    const ZHashedString course = m_course;
    SetCourseState(false, false, ZHashedString());
    m_coursePowerups.clear();
    SetCourseState(onCourse, timerActive, course);
    ZEntity* const owner = GetOwner();
    RefreshOwnerAbilities(owner);
    if (ZPhysicsComponent* const physics = GetComponent<ZPhysicsComponent>(owner)) {
        physics->jumpsLeft = std::min(physics->jumpsLeft + 1, physics->maxJumps);
    }
    if (CoffeeComponent* const coffee = GetComponent<CoffeeComponent>(owner)) {
        coffee->timer = 0.0f;
        coffee->target = 0.0f;
        coffee->boost = 0.0f;
    }
}

void SpeedrunComponent::RestartCourse() {
    if (!m_onCourse || !HasNamedCourse()) return;
    ResetRun();
    const ZEntity* const owner = GetOwner();
    const std::string text = std::string("teleport self ") + TextOrEmpty(m_course.GetText()) + " save";
    RunCommandText(text.c_str(), owner != nullptr ? owner->GetHandle() : 0, 0);
}

SpeedrunComponent::Pose SpeedrunComponent::GhostPose(const float time) {
    Pose pose;
    const int32_t count = static_cast<int32_t>(m_race.size());
    if (count == 0) return pose;
    pose.fromFrames = true;
    const GhostFrame& last = m_race.back();
    pose = Pose{last.x, last.y, last.facing, last.roomX, last.roomY, last.roomX, last.roomY, true,
                last.x, last.y, last.x, last.y, 0.0f};
    if (count == 1) return pose;
    if (m_replayCursor < 0 || m_replayCursor > count - 2) m_replayCursor = 0;
    for (int32_t i = m_replayCursor; i <= count - 2; ++i) {
        const GhostFrame& a = m_race[i];
        const GhostFrame& b = m_race[i + 1];
        if (!(a.time <= time && time < b.time)) continue;
        const float t = a.time < b.time ? (time - a.time) / (b.time - a.time) : 1.0f;
        pose.x = a.x + t * (b.x - a.x);
        pose.y = a.y + t * (b.y - a.y);
        pose.facing = t >= 0.5f ? b.facing : a.facing;
        pose.toX = b.roomX;
        pose.toY = b.roomY;
        pose.fromX = a.roomX;
        pose.fromY = a.roomY;
        pose.startX = a.x;
        pose.startY = a.y;
        pose.endX = b.x;
        pose.endY = b.y;
        pose.t = t;
        m_replayCursor = i;
    }
    return pose;
}

SpeedrunComponent::RoomView SpeedrunComponent::CurrentRoomView() {
    RoomView view;
    const KorvanthGame* const game = KorvanthGame::Get();
    if (game == nullptr) return view;
    const MapData& map = game->GetMapData();
    view.roomX = map.currentRoomX;
    view.roomY = map.currentRoomY;
    const auto& rooms = map.GetRooms();
    bool first = true;
    for (const auto& [x, column] : rooms) {
        if (column.empty()) continue;
        const int32_t top = column.begin()->first;
        const int32_t bottom = column.rbegin()->first + 1;
        if (first) {
            view.firstX = x;
            view.firstY = top;
            view.endY = bottom;
            first = false;
        }
        view.endX = x + 1;
        view.firstY = std::min(view.firstY, top);
        view.endY = std::max(view.endY, bottom);
    }
    return view;
}

void SpeedrunComponent::UpdateGhostPose(ZSpatialComponent& spatial) { UpdateGhostPose(spatial, CurrentRoomView()); }

void SpeedrunComponent::UpdateGhostPose(ZSpatialComponent& spatial, const RoomView& view) {
    Pose pose = GhostPose(m_elapsed);
    if (!pose.fromFrames) {
        // Nothing raced: the ghost waits on the player, hidden.
        const ZSpatialComponent* const runner = GetComponent<ZSpatialComponent>(GetOwner());
        const ZFacingComponent* const facing = GetComponent<ZFacingComponent>(GetOwner());
        pose.x = runner != nullptr ? runner->current.position.x : 0.0f;
        pose.y = runner != nullptr ? runner->current.position.y : 0.0f;
        pose.facing = facing != nullptr ? facing->facing : 0;
        pose.toX = pose.fromX = view.roomX;
        pose.toY = pose.fromY = view.roomY;
        pose.startX = pose.endX = pose.x;
        pose.startY = pose.endY = pose.y;
        pose.t = 0.0f;
    }
    // Both ends in the current room's terms before blending: a segment that
    // crosses into the next room would otherwise put the ghost a room ahead
    // (its start taken in the next room's terms) until the next frame.
    const float startX = static_cast<float>((pose.fromX - view.roomX) * kGhostRoomWidth) + pose.startX;
    const float startY = static_cast<float>((pose.fromY - view.roomY) * kGhostRoomHeight) + pose.startY;
    const float endX = static_cast<float>((pose.toX - view.roomX) * kGhostRoomWidth) + pose.endX;
    const float endY = static_cast<float>((pose.toY - view.roomY) * kGhostRoomHeight) + pose.endY;
    const float x = startX + pose.t * (endX - startX);
    const float y = startY + pose.t * (endY - startY);
    spatial.current.position = ZVector3(x, y, 0.0f);
    spatial.current.scale = ZVector3(16.0f, 24.0f, 1.0f);
    // Straight to the pose: no blend from where it stood.
    spatial.previous = spatial.current;
    spatial.previousInterpolated = spatial.current;
    spatial.interpolated = spatial.current;

    ZEntity* const ghost = spatial.GetOwner();
    if (ZFacingComponent* const facing = GetComponent<ZFacingComponent>(ghost)) facing->facing = pose.facing;
    const auto inMap = [&view](const int32_t roomX, const int32_t roomY) {
        return roomX >= view.firstX && roomX < view.endX && roomY >= view.firstY && roomY < view.endY;
    };
    const bool visible = !m_race.empty() && inMap(pose.toX, pose.toY) && inMap(pose.fromX, pose.fromY);
    if (ZRenderableComponent* const renderable = GetComponent<ZRenderableComponent>(ghost)) {
        renderable->SetRenderablesVisible(visible);
    }
}

void SpeedrunComponent::Save(ZDefNode& element) const {
    if (m_onCourse) element.SetAttribute(N().onCourse, ZString("true"));
    element.SetAttribute(N().timerActive, ZString(m_timerActive ? "true" : "false"));
    element.SetAttribute(N().elapsed, Text("%f", m_elapsed));
    element.SetAttribute(N().session, Hex(m_sessionGUID));
    element.SetAttribute(N().deaths, Int(m_deaths));
    element.SetAttribute(N().savedTime, Text("%f", m_savedTime));
    element.SetAttribute(N().courseId, ZString(m_course.GetTextOrEmpty()));
    element.SetAttribute(N().lastEvent, Int(m_replayCursor));
    for (const uint32_t id : m_coursePowerups) {
        ZDefNode equipment(N().equipment);
        equipment.SetAttribute(N().powerup, Hex(id));
        element.AddChild(static_cast<ZDefNode&&>(equipment));
    }
    for (const auto& [course, result] : m_results) {
        ZDefNode node(N().result);
        node.SetAttribute(N().courseId, ZString(course.GetTextOrEmpty()));
        node.SetAttribute(N().elapsed, Text("%f", result.time));
        node.SetAttribute(N().deaths, Int(result.deaths));
        node.SetAttribute(N().collectables, Int(result.collectables));
        element.AddChild(static_cast<ZDefNode&&>(node));
    }
    // A run in progress survives a reload.
    if (m_onCourse) WriteGhostFile(GetGhostFilePath(N().tempGhost), m_elapsed, static_cast<uint32_t>(m_deaths), m_recording);
}

void SpeedrunComponent::ReadDefinition(const ZDefNode& element) {
    ZSerialComponent::ReadDefinition(element);
    if (element.HasAttribute(N().onCourse)) {
        m_onCourse = true;
        m_timerActive = element.GetAttribute(N().timerActive) == "true";
        m_elapsed = static_cast<float>(std::atof(element.GetAttribute(N().elapsed).GetText()));
        if (!std::isfinite(m_elapsed)) m_elapsed = 0.0f;
        m_sessionGUID = static_cast<uint32_t>(std::strtoul(element.GetAttribute(N().session).GetText(), nullptr, 16));
        m_deaths = element.GetAttribute(N().deaths).ToInt();
        if (element.HasAttribute(N().savedTime)) {
            m_savedTime = static_cast<float>(std::atof(element.GetAttribute(N().savedTime).GetText()));
        }
        const ZString& course = element.GetAttribute(N().courseId);
        m_course = course.IsEmpty() ? ZHashedString() : ZHashedString(course.GetText());
        ZDefNode::ChildIterator equipment(element, N().equipment);
        while (const ZDefNode* item = equipment.Next()) {
            m_coursePowerups.insert(static_cast<uint32_t>(std::strtoul(item->GetAttribute(N().powerup).GetText(), nullptr, 16)));
        }
        CreateGhost();
        if (m_recording.empty()) m_recording = ReadGhostFile(GetGhostFilePath(N().tempGhost)).frames;
        m_race.clear();
    }
    ZDefNode::ChildIterator results(element, N().result);
    while (const ZDefNode* node = results.Next()) {
        CourseResult& result = m_results[ZHashedString(node->GetAttribute(N().courseId).GetText())];
        result.time = static_cast<float>(std::atof(node->GetAttribute(N().elapsed).GetText()));
        result.deaths = node->GetAttribute(N().deaths).ToInt();
        result.collectables = node->GetAttribute(N().collectables).ToInt();
    }
}

SpeedrunComponent* FindPlayerSpeedrun() {
    const KorvanthGame* game = KorvanthGame::Get();
    if (game == nullptr || game->GetPlayer() == nullptr) return nullptr;
    return GetComponent<SpeedrunComponent>(game->GetPlayer());
}
