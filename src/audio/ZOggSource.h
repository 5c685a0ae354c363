#pragma once

#include <cstdint>
#include <cstdio>

#include <vorbis/vorbisfile.h>

// An Ogg stream that is one byte range of a file (a package entry, or the
// whole file): the decoder's reads stop at the range's end, and its seeks and
// tells are relative to the range's start, so it never sees the neighbouring
// entries. The file is not closed by the decoder.
struct ZOggSource {
    std::FILE* file = nullptr;
    int64_t offset = 0;    // first byte of the stream in file
    int64_t size = 0;      // bytes of the stream
    int64_t position = 0;  // relative to offset

    static const ov_callbacks kCallbacks;
};
