#include "audio/ZOggSource.h"

#include <cerrno>

namespace {

size_t ReadRange(void* ptr, const size_t size, const size_t count, void* source) {
    auto* s = static_cast<ZOggSource*>(source);
    if (s == nullptr || s->file == nullptr || size == 0) {
        return 0;
    }
    const int64_t left = s->size - s->position;
    if (left <= 0) {
        return 0;
    }
    size_t bytes = size * count;
    if (static_cast<int64_t>(bytes) > left) {
        bytes = static_cast<size_t>(left);
    }
    if (std::fseek(s->file, static_cast<long>(s->offset + s->position), SEEK_SET) != 0) {
        errno = EIO;
        return 0;
    }
    const size_t got = std::fread(ptr, 1, bytes, s->file);
    s->position += static_cast<int64_t>(got);
    return got / size;
}

int SeekRange(void* source, const ogg_int64_t where, const int whence) {
    auto* s = static_cast<ZOggSource*>(source);
    if (s == nullptr || s->file == nullptr) {
        return -1;
    }
    int64_t target = 0;
    switch (whence) {
        case SEEK_SET:
            target = where;
            break;
        case SEEK_CUR:
            target = s->position + where;
            break;
        case SEEK_END:
            target = s->size + where;
            break;
        default:
            return -1;
    }
    if (target < 0 || target > s->size) {
        return -1;
    }
    s->position = target;
    return 0;
}

long TellRange(void* source) {
    const auto* s = static_cast<const ZOggSource*>(source);
    return s != nullptr ? static_cast<long>(s->position) : -1;
}

}  // namespace

const ov_callbacks ZOggSource::kCallbacks = {ReadRange, SeekRange, nullptr, TellRange};
