#include "platform/gfx/image.h"

namespace gfx {

void Image::Allocate(Format f, uint32_t w, uint32_t h, uint32_t padding) {
    format = f;
    width = w;
    height = h;
    pitch = RowBytes(f, w) + padding;
    bits.assign(static_cast<size_t>(pitch) * RowCount(f, h), 0);
    locked = false;
}

Result LockImage(Image& image, const Rect* rect, LockedRect* locked, uint32_t flags) {
    if (!locked || image.locked) return Result::InvalidCall;
    size_t offset = 0;
    if (rect) {
        if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right || rect->top >= rect->bottom ||
            static_cast<uint32_t>(rect->right) > image.width || static_cast<uint32_t>(rect->bottom) > image.height) {
            return Result::InvalidCall;
        }
        uint32_t x = static_cast<uint32_t>(rect->left), y = static_cast<uint32_t>(rect->top);
        if (IsBlockFormat(image.format)) {
            if (x % 4 || y % 4) return Result::InvalidCall;
            x /= 4;
            y /= 4;
        }
        offset = static_cast<size_t>(y) * image.pitch + static_cast<size_t>(x) * FormatBytes(image.format);
    }
    image.locked = true;
    image.lockedReadOnly = (flags & lock::kReadOnly) != 0;
    locked->pitch = static_cast<int32_t>(image.pitch);
    locked->bits = image.bits.data() + offset;
    return Result::Ok;
}

Result UnlockImage(Image& image) {
    if (!image.locked) return Result::InvalidCall;
    image.locked = false;
    return Result::Ok;
}

uint32_t FullChainLevels(uint32_t width, uint32_t height) {
    uint32_t levels = 1;
    while (width > 1 || height > 1) {
        width = width > 1 ? width / 2 : 1;
        height = height > 1 ? height / 2 : 1;
        ++levels;
    }
    return levels;
}

Result CheckNewTexture(uint32_t width, uint32_t height, uint32_t maxSide, uint32_t usage, Pool pool, bool formatOk,
                       bool targetOk, uint32_t* levels) {
    if (width == 0 || height == 0 || width > maxSide || height > maxSide || *levels > FullChainLevels(width, height) ||
        (usage & usage::kDepthStencil)) {
        return Result::InvalidCall;
    }
    if (((usage & usage::kRenderTarget) || (usage & usage::kDynamic)) && pool != Pool::Default) {
        return Result::InvalidCall;
    }
    if (!formatOk || ((usage & usage::kRenderTarget) && !targetOk)) return Result::NotAvailable;
    if (usage & usage::kAutoGenMipmap) {
        *levels = 1;
    } else if (*levels == 0) {
        *levels = FullChainLevels(width, height);
    }
    return Result::Ok;
}

}  // namespace gfx
