// Ways of putting a finished frame into the window on the OpenGL back end
// (llvmpipe without a GPU). The device keeps its back buffer as a texture laid
// out top row first, so the window needs it turned upside down. Each row fills
// the back buffer with a card, then presents it one way and swaps:
//   blit RGBA8 (baseline)  glBlitFramebuffer with flipped rectangles from a texture
//                   made with the sized GL_RGBA8 (the device's earlier way)
//   blit BGRA       the same copy from a texture made with the unsized GL_RGBA
//                   from B, G, R, A bytes, which llvmpipe keeps in that order as
//                   it keeps the window (the device's way now)
//   blit BGRA unflipped  the same, the wrong way up
//   swap only       no copy at all (not a picture: the floor under every way)
//   blit RGBA8 unflipped  the earlier texture, the wrong way up
//   draw            a full-screen triangle that samples the RGBA8 back buffer with
//                   the flip folded into its texture coordinates
//   ... into a texture  the same draw or blit into another texture, not the
//                   window (what the copy costs away from the window)
// at 1280 x 720 and 1920 x 1080, in a window with the game's pixel format.
//   LP_NUM_THREADS=0|2|8 build/release/bench/bench_display_present

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/gfx/gl/gl_api.h"
#include "platform/window/sdl/SdlShared.h"

namespace {

using gfx::gl::Api;

struct Window {
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    Api gl;
    GLuint texture = 0, framebuffer = 0, bgra = 0, bgraFramebuffer = 0, other = 0, otherFramebuffer = 0, program = 0,
           vertexArray = 0;
    int width = 0, height = 0;
};

const char* kVertex = R"(#version 330 core
out vec2 uv;
void main() {
    vec2 p = vec2(float((gl_VertexID & 1) << 2) - 1.0, float((gl_VertexID & 2) << 1) - 1.0);
    uv = vec2(p.x * 0.5 + 0.5, 0.5 - p.y * 0.5);
    gl_Position = vec4(p, 0.0, 1.0);
})";
const char* kFragment = R"(#version 330 core
uniform sampler2D frame;
in vec2 uv;
out vec4 colour;
void main() { colour = texture(frame, uv); })";

GLuint Compile(Api& gl, GLenum kind, const char* text) {
    const GLuint s = gl.CreateShader(kind);
    gl.ShaderSource(s, 1, &text, nullptr);
    gl.CompileShader(s);
    return s;
}

Window* Open(int width, int height) {
    static Window* w = nullptr;
    if (w && w->width == width && w->height == height) return w;
    if (w) {
        SDL_GL_DeleteContext(w->context);
        SDL_DestroyWindow(w->window);
        delete w;
        w = nullptr;
    }
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return nullptr;
    platform::sdl::RequestGlWindowFormat();
    auto* n = new Window;
    n->window = SDL_CreateWindow("", 0, 0, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!n->window) return nullptr;
    n->context = SDL_GL_CreateContext(n->window);
    const char* missing = nullptr;
    if (!n->context || !n->gl.Load(&missing)) return nullptr;
    SDL_GL_SetSwapInterval(0);
    Api& gl = n->gl;
    n->width = width;
    n->height = height;
    std::vector<uint32_t> card(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            card[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] =
                ((x / 16 + y / 16) % 2) != 0 ? 0xFFE63C28u : static_cast<uint32_t>(0xFF000000u | (x & 255) * 0x010101u);
        }
    }
    gl.GenTextures(1, &n->texture);
    gl.BindTexture(GL_TEXTURE_2D, n->texture);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    gl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, card.data());
    gl.GenFramebuffers(1, &n->framebuffer);
    gl.BindFramebuffer(GL_READ_FRAMEBUFFER, n->framebuffer);
    gl.FramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, n->texture, 0);
    gl.GenTextures(1, &n->bgra);
    gl.BindTexture(GL_TEXTURE_2D, n->bgra);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    gl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, card.data());
    gl.GenFramebuffers(1, &n->bgraFramebuffer);
    gl.BindFramebuffer(GL_READ_FRAMEBUFFER, n->bgraFramebuffer);
    gl.FramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, n->bgra, 0);
    gl.GenTextures(1, &n->other);
    gl.BindTexture(GL_TEXTURE_2D, n->other);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    gl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
    gl.GenFramebuffers(1, &n->otherFramebuffer);
    gl.BindFramebuffer(GL_DRAW_FRAMEBUFFER, n->otherFramebuffer);
    gl.FramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, n->other, 0);
    n->program = gl.CreateProgram();
    gl.AttachShader(n->program, Compile(gl, GL_VERTEX_SHADER, kVertex));
    gl.AttachShader(n->program, Compile(gl, GL_FRAGMENT_SHADER, kFragment));
    gl.LinkProgram(n->program);
    gl.GenVertexArrays(1, &n->vertexArray);
    w = n;
    return w;
}

enum Way { kBlit, kBlitBgra, kBlitBgraUnflipped, kSwapOnly, kBlitUnflipped, kDraw, kDrawIntoTexture, kBlitIntoTexture, kWays };
const char* const kLabels[] = {"blit RGBA8 (baseline)", "blit BGRA",  "blit BGRA unflipped", "swap only",
                               "blit RGBA8 unflipped",  "draw",       "draw into a texture", "blit into a texture"};

void BM_Present(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
    const Way way = static_cast<Way>(state.range(2));
    Window* w = Open(width, height);
    if (!w) {
        state.SkipWithError("no OpenGL 3.3 window");
        return;
    }
    Api& gl = w->gl;
    state.SetLabel(kLabels[way]);
    for (auto _ : state) {
        gl.BindFramebuffer(GL_DRAW_FRAMEBUFFER, way >= kDrawIntoTexture ? w->otherFramebuffer : 0);
        const bool bgra = way == kBlitBgra || way == kBlitBgraUnflipped;
        gl.BindFramebuffer(GL_READ_FRAMEBUFFER, bgra ? w->bgraFramebuffer : w->framebuffer);
        gl.Viewport(0, 0, width, height);
        switch (way) {
            case kSwapOnly:
            case kWays: break;
            case kBlitBgra:
            case kBlit: gl.BlitFramebuffer(0, 0, width, height, 0, height, width, 0, GL_COLOR_BUFFER_BIT, GL_NEAREST); break;
            case kBlitBgraUnflipped:
            case kBlitUnflipped:
                gl.BlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
                break;
            case kBlitIntoTexture:
                gl.BlitFramebuffer(0, 0, width, height, 0, height, width, 0, GL_COLOR_BUFFER_BIT, GL_NEAREST);
                break;
            case kDrawIntoTexture:
            case kDraw:
                gl.UseProgram(w->program);
                gl.BindVertexArray(w->vertexArray);
                gl.ActiveTexture(GL_TEXTURE0);
                gl.BindTexture(GL_TEXTURE_2D, w->texture);
                gl.DrawArrays(GL_TRIANGLES, 0, 3);
                break;
        }
        SDL_GL_SwapWindow(w->window);
        gl.Finish();
    }
    if (way == kBlit || way == kBlitBgra) {
        // A copy is only fast if it is right: the window's top row must be the card's first.
        gl.BlitFramebuffer(0, 0, width, height, 0, height, width, 0, GL_COLOR_BUFFER_BIT, GL_NEAREST);
        uint32_t top[2] = {};
        gl.BindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        gl.ReadPixels(5, height - 1, 1, 1, GL_BGRA, GL_UNSIGNED_BYTE, &top[0]);
        gl.ReadPixels(20, height - 1, 1, 1, GL_BGRA, GL_UNSIGNED_BYTE, &top[1]);
        if (top[0] != 0xFF050505u || top[1] != 0xFFE63C28u) state.SkipWithError("the window's top row is not the card's");
    }
    const char* n = std::getenv("LP_NUM_THREADS");
    state.counters["threads"] = n ? std::atof(n) : 0.0;
}

void Rows(benchmark::internal::Benchmark* bench) {
    static const int64_t kSizes[2][2] = {{1280, 720}, {1920, 1080}};
    for (const auto& size : kSizes) {
        for (int64_t way = 0; way < kWays; ++way) bench->Args({size[0], size[1], way});
    }
}

BENCHMARK(BM_Present)->Apply(Rows)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
