// A 100,000-vertex mesh (triangles with a colour per vertex) under the software renderer: drawn
// from vertex-buffer chunks finalized into a buffer object, against the same triangles sent in
// immediate mode, in the same window and run; plus the time to collect and finalize the chunks.
#include <GL/gl.h>
#include <SDL2/SDL.h>

#include "bench_window.h"

#include <chrono>
#include <cstdio>
#include <vector>

#include "gfx/chunkybuffer.h"
#include "gfx/ogl_ext.h"
#include "gfx/screenshot.h"

namespace {

constexpr int VERTICES = 99999;  // whole triangles
// Rounds of FRAMES frames each way, alternating, so a slow spell of the machine falls on both.
constexpr int ROUNDS = 3;
constexpr int FRAMES = 10;

struct vertex {
    float x, y;
    unsigned char rgba[4];
};

// Small triangles scattered over the window, as a distant terrain mesh would be: a few pixels each,
// so the vertices rather than the pixels set the pace.
std::vector<vertex> make_mesh()
{
    std::vector<vertex> mesh(VERTICES);
    unsigned value = 1;
    for (int i = 0; i < VERTICES; i += 3) {
        value = value * 1103515245u + 12345u;
        const float x = static_cast<float>((value >> 8) % 1000), y = static_cast<float>((value >> 4) % 740);
        const unsigned char r = static_cast<unsigned char>(value), g = static_cast<unsigned char>(value >> 8);
        mesh[i] = {x, y, {r, g, 128, 255}};
        mesh[i + 1] = {x + 4, y, {r, g, 128, 255}};
        mesh[i + 2] = {x, y + 4, {r, g, 128, 255}};
    }
    return mesh;
}

template <typename Draw> double seconds_for_frames(SDL_Window* window, Draw draw)
{
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < FRAMES; ++i) {
        glClear(GL_COLOR_BUFFER_BIT);
        draw();
        SDL_GL_SwapWindow(window);
    }
    glFinish();
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
    return spent.count();
}

}  // namespace

int main()
{
    bench::gl_window screen("chunks_bench");
    if (!screen.ok())
        return 1;
    SDL_Window* window = screen.window;
    (void)glExt.init_entry_points();
    glExt.init_extensions();
    if (!glExt.vbo_avail) {
        std::fprintf(stderr, "chunks_bench: no vertex buffer objects\n");
        return 1;
    }
    glMatrixMode(GL_PROJECTION);
    glOrtho(0, 1024, 0, 768, -1, 1);
    glMatrixMode(GL_MODELVIEW);

    const std::vector<vertex> mesh = make_mesh();
    const auto collect_start = std::chrono::steady_clock::now();
    OGL_chunkybuffer chunks;
    OGL_chunky_subregion* positions = chunks.new_subregion();
    OGL_chunky_subregion* colours = chunks.new_subregion();
    for (const vertex& v : mesh) {
        chunks.append(positions, &v.x, 2 * sizeof(float));
        chunks.append(colours, v.rgba, sizeof(v.rgba));
    }
    chunks.finalize_vbo(1);
    glFinish();
    const std::chrono::duration<double> collect = std::chrono::steady_clock::now() - collect_start;

    auto draw_chunks = [&] {
        OGL_bind_vbo(chunks.vbo);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_COLOR_ARRAY);
        glVertexPointer(2, GL_FLOAT, 0, reinterpret_cast<const void*>(static_cast<size_t>(positions->offset)));
        glColorPointer(4, GL_UNSIGNED_BYTE, 0, reinterpret_cast<const void*>(static_cast<size_t>(colours->offset)));
        glDrawArrays(GL_TRIANGLES, 0, VERTICES);
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisableClientState(GL_COLOR_ARRAY);
        OGL_bind_vbo(0);
    };
    auto draw_immediate = [&] {
        glBegin(GL_TRIANGLES);
        for (const vertex& v : mesh) {
            glColor4ubv(v.rgba);
            glVertex2f(v.x, v.y);
        }
        glEnd();
    };
    draw_chunks();  // warm-up: llvmpipe compiles its shaders on first use
    draw_immediate();
    double chunk_seconds = 0, immediate_seconds = 0;
    for (int round = 0; round < ROUNDS; ++round) {
        chunk_seconds += seconds_for_frames(window, draw_chunks);
        immediate_seconds += seconds_for_frames(window, draw_immediate);
    }
    const double from_chunks = ROUNDS * FRAMES / chunk_seconds, immediate = ROUNDS * FRAMES / immediate_seconds;

    std::printf("mesh_100k_from_chunks_buffer_object: %.1f fps (%.2f to immediate mode)\n", from_chunks,
                from_chunks / immediate);
    std::printf("mesh_100k_immediate_mode: %.1f fps (%.2f to chunks)\n", immediate, immediate / from_chunks);
    std::printf("mesh_100k_collect_and_finalize: %.1f ms (once per mesh)\n", collect.count() * 1000);

    return 0;
}
