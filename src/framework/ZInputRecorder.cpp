#include "framework/ZInputRecorder.h"

#include <cmath>

#include "foundation/ZAppInfo.h"

namespace {

ZInputRecorder* gInputRecorder = nullptr;

constexpr uint8_t kFixedStepBit = 2;

}  // namespace

ZInputRecorder::ZInputRecorder() : ZUpdatable(6) {
    SetUpdatePriority(-10000);
}

void ZInputRecorder::Stop() {
    m_state = kIdle;
    m_stepCounter = 0;
    m_samples.Clear();
}

void ZInputRecorder::BuildControlList() {
    // Named afresh each time rather than kept: hashed ids do not outlive the
    // name table, which shutdown may replace.
    ZArray<ZHashedString> excluded;
    excluded.PushBack(ZHashedString("General"));
    excluded.PushBack(ZHashedString("Utility"));
    excluded.PushBack(ZHashedString("Menus"));
    excluded.PushBack(ZHashedString("VisOnly"));
    GetControlMgr()->SnapshotControls(m_samples, excluded);
}

void ZInputRecorder::ToggleRecording() {
    if (m_state == kRecording) {
        Stop();
        return;
    }
    if (m_state == kPlaying) {
        Stop();
    }
    m_state = kRecording;
    BuildControlList();
}

void ZInputRecorder::TogglePlayback() {
    if (m_state == kPlaying) {
        Stop();
        return;
    }
    if (m_state == kRecording) {
        Stop();
    }
    BuildControlList();
    m_state = kPlaying;
}

void ZInputRecorder::RecordStep() {
    GetControlMgr()->FillSnapshot(m_samples);
    for (uint32_t i = 0; i < m_samples.Count(); ++i) {
        const ZControlSample& sample = m_samples[i];
        if (std::fabs(sample.change) > 0.0f) {
            m_events.PushBack(Event{static_cast<int32_t>(i), sample.value, m_stepCounter});
        }
    }
}

void ZInputRecorder::PlayStep() {
    ZControlMgr* controls = GetControlMgr();
    for (uint32_t i = 0; i < m_samples.Count(); ++i) {
        ZControlSample& sample = m_samples[i];
        for (uint32_t e = static_cast<uint32_t>(sample.cursor); e < m_events.Count(); ++e) {
            const Event& event = m_events[e];
            if (event.step > m_stepCounter) {
                break;
            }
            if (event.sample == static_cast<int32_t>(i)) {
                sample.value = event.value;
                sample.cursor = static_cast<int32_t>(e);
            }
        }
        controls->SetControlValue(sample.group, sample.control, sample.value);
    }
}

void ZInputRecorder::Update(float, const uint8_t mask) {
    if ((mask & kFixedStepBit) == 0) {
        return;
    }
    if (m_state == kRecording) {
        RecordStep();
    } else if (m_state == kPlaying) {
        PlayStep();
    }
    m_stepCounter = m_state == kIdle ? 0 : m_stepCounter + 1;
}

ZInputRecorder* GetInputRecorder() {
    return GetOrCreateManager(gInputRecorder);
}

void DestroyInputRecorder() {
    DestroyManager(gInputRecorder);
}
