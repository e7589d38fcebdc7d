// Decoding a 1024 x 1024 RGBA PNG with transparent areas into the scratch buffer, with the edge bleed the
// upload applies, against ImageMagick's convert decoding the same file to raw RGBA in the same run,
// whole process against whole process (the best of five runs each).
//   png_decode_bench                 runs the comparison
//   png_decode_bench --decode FILE   decodes the file once (our side)
#include <cmath>
#include <cstdio>
#include <string>

#include "bench_files.h"
#include "core/globals.h"
#include "core/mnw.h"
#include "gfx/image_load.h"
#include "gfx/image_write.h"
#include "gfx/tman.h"

namespace {

constexpr int SIDE = 1024;
constexpr int ROUNDS = 5;

// Soft colour gradients with round transparent holes: about a third of the pixels are transparent, many
// of them on hole edges, which is where the bleed does its work.
void paint_test_image()
{
    for (int y = 0; y < SIDE; ++y)
        for (int x = 0; x < SIDE; ++x) {
            unsigned char* p = scratch_array + (static_cast<size_t>(y) * SIDE + x) * 4;
            p[0] = static_cast<unsigned char>(x / 4);
            p[1] = static_cast<unsigned char>(y / 4);
            p[2] = static_cast<unsigned char>((x ^ y) & 0xFF);
            const int cx = x % 128 - 64, cy = y % 128 - 64;
            p[3] = cx * cx + cy * cy < 40 * 40 ? 0 : 255;
        }
}

}  // namespace

// Our side: one decode of the file with the bleed, in a process of its own.
int decode_once(const std::string& path)
{
    scratch_array_align();
    mnw.tex_res = 5;
    maxtexdim = 16384;
    tex_load_vars v;
    v.load_type = LOAD_TEXTURE;
    v.ref = 500;
    v.type = 2;
    v.name = path;
    if (tman.load_texture_io(&v) != 2)
        return 1;
    bleed_transparent_pixels(v.pixels, v.tex_dx, v.tex_dy);
    return 0;
}

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--decode")
        return decode_once(argv[2]);
    bench::temp_folder dir("png-bench");
    if (dir.path.empty())
        return 1;
    scratch_array_align();
    paint_test_image();
    const std::string path = dir.path + "/big.png";
    write_png_to_disk(path, SIDE, SIDE, 4);

    double ours = 1e9, peer = 1e9;
    for (int round = 0; round < ROUNDS; ++round) {
        const bench::child_run run = bench::run_self({"--decode", path});
        if (run.status != 0) {
            std::fprintf(stderr, "png_decode_bench: could not decode %s\n", path.c_str());
            return 1;
        }
        ours = std::min(ours, run.seconds);
    }
    for (int round = 0; round < ROUNDS; ++round) {
        const bench::child_run run = bench::run_command("convert " + bench::quoted(path) + " rgba:/dev/null");
        if (run.status != 0) {
            std::fprintf(stderr, "png_decode_bench: convert failed\n");
            return 1;
        }
        peer = std::min(peer, run.seconds);
    }
    std::printf("png decode 1024x1024 with bleed: %.1f ms (%.2fx convert; whole processes)\n", ours * 1000,
                peer / ours);
    return 0;
}
