#include "framework/ZConsole.h"

#include <cstdio>
#include <cstring>

#include "foundation/ZHashedString.h"
#include "foundation/ZINIFile.h"
#include "foundation/ZString.h"
#include "framework/ZBaseGame.h"

namespace {

void CopyBounded(char* out, const int size, const char* text, int32_t length) {
    if (length > size - 1) {
        length = size - 1;
    }
    std::memcpy(out, text, static_cast<size_t>(length));
    out[length] = 0;
}

ZHashedString MemoryKey(const int index) {
    char key[16];
    std::snprintf(key, sizeof key, "MemoryLine%02d", index);
    return ZHashedString(key);
}

}  // namespace

void ZConsole::Init() {
    ZBaseGame* game = ZBaseGame::GetInstance();
    if (game == nullptr) {
        return;
    }
    std::snprintf(m_outputLines[20], kOutputLineSize, "%s %s", game->GetGameTitle(), game->GetVersionText());
    std::snprintf(m_outputLines[21], kOutputLineSize, "%s %s", game->GetEngineName(),
                  game->GetEngineVersionText());
    std::snprintf(m_outputLines[22], kOutputLineSize, "%s %s", game->GetLegalNotice(), game->GetAuthor());
    std::snprintf(m_outputLines[23], kOutputLineSize, " ");
}

void ZConsole::Print(const char* text) {
    if (text == nullptr) {
        text = "";
    }
    const char* start = text;
    for (;;) {
        const char* end = std::strchr(start, '\n');
        if (end == nullptr) {
            PushOutputLine(start, static_cast<int32_t>(std::strlen(start)));
            return;
        }
        PushOutputLine(start, static_cast<int32_t>(end - start));
        start = end + 1;
    }
}

void ZConsole::PushOutputLine(const char* text, const int32_t length) {
    std::memmove(m_outputLines[0], m_outputLines[1], sizeof m_outputLines - sizeof m_outputLines[0]);
    CopyBounded(m_outputLines[kLineCount - 1], kOutputLineSize, text, length);
}

bool ZConsole::LoadMemory(const char* path) {
    ZINIFile file;
    if (!file.LoadINIFile(path, true)) {
        return false;
    }
    ZString value;
    for (int i = 0; i < kLineCount; ++i) {
        if (file.GetValue(ZHashedString::None(), MemoryKey(i), value)) {
            SetMemoryLine(i, value.GetText());
        }
    }
    return true;
}

bool ZConsole::SaveMemory(const char* path) const {
    ZINIFile file;
    int next = 0;
    for (const auto& line : m_memoryLines) {
        if (line[0] != 0) {
            file.SetValue(ZHashedString::None(), MemoryKey(next++), ZString(line));
        }
    }
    return file.SaveINIFile(path);
}

void ZConsole::SetMemoryLine(const int index, const char* text) {
    if (index >= 0 && index < kLineCount && text != nullptr) {
        CopyBounded(m_memoryLines[index], kMemoryLineSize, text, static_cast<int32_t>(std::strlen(text)));
    }
}

void ZConsole::Toggle() {
    m_isOpen = !m_isOpen;
    if (ZBaseGame* game = ZBaseGame::GetInstance()) {
        game->PushPause(m_isOpen);
    }
}
