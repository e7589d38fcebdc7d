// Vertex-buffer chunks on a real context: offsets, appends that straddle chunks read back from
// memory and from buffer objects, a mesh drawn from either, mapping, destruction and the misuse alerts.
#include "gfx/chunkybuffer.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "gfx/gfx_helpers.h"
#include "gfx/ogl_ext.h"
#include "gfx/screenshot.h"
#include "support/alert_recorder.h"
#include "support/file_bytes.h"
#include "support/gl_window.h"

using test::rgba;

namespace {

enum class finalization { memory, static_buffer, stream_buffer };

class chunks : public test::gl_test {
protected:
    void SetUp() override
    {
        test::gl_test::SetUp();
        gfx_test::set_up_screen();
        ASSERT_TRUE(glExt.vbo_avail);
    }
    void TearDown() override { glExt.vbo_avail = 1; }

    static void finalize(OGL_chunkybuffer& buffer, finalization how)
    {
        if (how == finalization::memory)
            buffer.finalize_mem();
        else
            buffer.finalize_vbo(how == finalization::static_buffer);
    }

    // The finalized block's bytes, from memory or read back from the buffer object.
    static std::string block(const OGL_chunkybuffer& buffer)
    {
        if (buffer.vbo == 0)
            return std::string(reinterpret_cast<const char*>(buffer.mem), buffer.total);
        std::string bytes(buffer.total, '\0');
        OGL_bind_vbo(buffer.vbo);
        glExt.glGetBufferSubDataARB(GL_ARRAY_BUFFER_ARB, 0, buffer.total, bytes.data());
        return bytes;
    }
};

const finalization ALL_FINALIZATIONS[] = {finalization::memory, finalization::static_buffer,
                                          finalization::stream_buffer};

}  // namespace

TEST_F(chunks, OffsetsFollowTheSubregionsInOrder)
{
    struct offsets_case {
        std::vector<size_t> sizes;
        std::vector<int> offsets;
        int total;
    };
    const offsets_case cases[] = {
        {{}, {}, 0},
        {{10, 0, 2000}, {0, 10, 10}, 2010},
        {{1024, 1025, 1}, {0, 1024, 2049}, 2050},
    };
    for (finalization how : ALL_FINALIZATIONS) {
        for (const offsets_case& c : cases) {
            OGL_chunkybuffer buffer;
            std::vector<OGL_chunky_subregion*> subregions;
            for (size_t size : c.sizes) {
                subregions.push_back(buffer.new_subregion());
                buffer.append(subregions.back(), std::string(size, 'x').data(), size);
            }
            buffer.calc_offsets();
            EXPECT_EQ(buffer.total, c.total);
            finalize(buffer, how);
            EXPECT_EQ(buffer.total, c.total);
            for (size_t i = 0; i < subregions.size(); ++i)
                EXPECT_EQ(subregions[i]->offset, c.offsets[i]) << "subregion " << i;
            EXPECT_EQ(block(buffer), std::string(c.total, 'x'));
        }
    }
}

TEST_F(chunks, StraddlingAppendsReadBackInOrder)
{
    // Write sizes chosen to end short of, exactly at and across the 1024-byte chunk edges.
    const std::vector<std::vector<size_t>> writes = {{7, 1500, 493, 1000, 2048}, {1024, 1}, {5}};
    for (finalization how : ALL_FINALIZATIONS) {
        OGL_chunkybuffer buffer;
        std::string expected;
        std::vector<OGL_chunky_subregion*> subregions;
        for (size_t s = 0; s < writes.size(); ++s)
            subregions.push_back(buffer.new_subregion());
        unsigned seed = 1;
        // Interleaved: one write to each subregion in turn, so their chunks interleave in memory.
        std::vector<std::string> contents(writes.size());
        for (size_t round = 0; round < 5; ++round)
            for (size_t s = 0; s < writes.size(); ++s)
                if (round < writes[s].size()) {
                    const std::string bytes = test::patterned_bytes(writes[s][round], seed++);
                    buffer.append(subregions[s], bytes.data(), bytes.size());
                    contents[s] += bytes;
                }
        for (const std::string& c : contents)
            expected += c;
        finalize(buffer, how);
        EXPECT_EQ(block(buffer), expected);
        if (how != finalization::memory) {
            GLint usage = 0;
            glExt.glGetBufferParameterivARB(GL_ARRAY_BUFFER_ARB, GL_BUFFER_USAGE_ARB, &usage);
            EXPECT_EQ(usage, how == finalization::static_buffer ? GL_STATIC_DRAW_ARB : GL_STREAM_DRAW_ARB);
        }
    }
}

TEST_F(chunks, MeshDrawsFromEitherBlock)
{
    for (finalization how : {finalization::memory, finalization::static_buffer}) {
        win().reset_2d();
        // Positions and colours in two subregions: 64 quads of 16 x 16 pixels, a red and blue check.
        OGL_chunkybuffer buffer;
        OGL_chunky_subregion* positions = buffer.new_subregion();
        OGL_chunky_subregion* colours = buffer.new_subregion();
        for (int q = 0; q < 64; ++q) {
            const float x = static_cast<float>(q % 8 * 16), y = static_cast<float>(q / 8 * 16);
            const float corners[8] = {x, y, x, y + 16, x + 16, y + 16, x + 16, y};
            buffer.append(positions, corners, sizeof(corners));
            const bool red = (q % 8 + q / 8) % 2 == 0;
            const unsigned char colour[4] = {static_cast<unsigned char>(red ? 255 : 0), 0,
                                             static_cast<unsigned char>(red ? 0 : 255), 255};
            for (int corner = 0; corner < 4; ++corner)
                buffer.append(colours, colour, sizeof(colour));
        }
        finalize(buffer, how);
        const unsigned char* base = how == finalization::memory ? buffer.mem : nullptr;
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_COLOR_ARRAY);
        glVertexPointer(2, GL_FLOAT, 0, base + positions->offset);
        glColorPointer(4, GL_UNSIGNED_BYTE, 0, base + colours->offset);
        glDrawArrays(GL_QUADS, 0, 64 * 4);
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisableClientState(GL_COLOR_ARRAY);
        OGL_bind_vbo(0);
        EXPECT_EQ(pixel(8, 8), rgba({255, 0, 0, 255}));
        EXPECT_EQ(pixel(24, 8), rgba({0, 0, 255, 255}));
        EXPECT_EQ(pixel(120, 120), rgba({255, 0, 0, 255}));
        EXPECT_EQ(pixel(104, 120), rgba({0, 0, 255, 255}));
        EXPECT_EQ(pixel(130, 8), rgba({0, 0, 0, 255}));
    }
}

TEST_F(chunks, MappingWritesIntoTheBufferObjectAndDestroyingUnmaps)
{
    GLuint name = 0;
    {
        OGL_chunkybuffer buffer;
        buffer.append(buffer.new_subregion(), "abcdef", 6);
        buffer.finalize_vbo(0);
        name = buffer.vbo;
        buffer.map();
        ASSERT_NE(buffer.mem, nullptr);
        buffer.mem[0] = 'X';
        buffer.unmap();
        EXPECT_EQ(buffer.mem, nullptr);
        GLint bound = -1;
        glGetIntegerv(GL_ARRAY_BUFFER_BINDING_ARB, &bound);
        EXPECT_EQ(bound, 0);
        EXPECT_EQ(block(buffer), "Xbcdef");

        OGL_bind_vbo_ind(name);
        buffer.map();  // left mapped: the destructor must give the mapping back, not free it
    }
    EXPECT_FALSE(glExt.glIsBufferARB(name));
    for (GLenum binding : {GL_ARRAY_BUFFER_BINDING_ARB, GL_ELEMENT_ARRAY_BUFFER_BINDING_ARB}) {
        GLint bound = -1;
        glGetIntegerv(binding, &bound);
        EXPECT_EQ(bound, 0);
    }

    OGL_chunkybuffer in_memory;
    in_memory.append(in_memory.new_subregion(), "abc", 3);
    in_memory.finalize_mem();
    unsigned char* block_before = in_memory.mem;
    in_memory.map();
    in_memory.unmap();
    EXPECT_EQ(in_memory.mem, block_before) << "a memory block is not a mapping";
}

TEST_F(chunks, MisuseIsAFatalAlert)
{
    test::alert_recorder alerts;
    OGL_chunkybuffer finalized;
    OGL_chunky_subregion* done = finalized.new_subregion();
    finalized.finalize_mem();
    const test::recorded_alert appended = test::expect_fatal([&] { finalized.append(done, "x", 1); });
    EXPECT_EQ(appended.l1, "Cannot append to a finalized vertex buffer!");

    glExt.vbo_avail = 0;
    OGL_chunkybuffer buffer;
    buffer.append(buffer.new_subregion(), "abc", 3);
    const std::pair<const char*, std::function<void()>> operations[] = {
        {"finalize_vbo", [&] { buffer.finalize_vbo(1); }},
        {"map", [&] { buffer.map(); }},
        {"unmap", [&] { buffer.unmap(); }},
    };
    for (const auto& [name, call] : operations) {
        const test::recorded_alert alert = test::expect_fatal(call);
        EXPECT_EQ(alert.l1, "Vertex buffer objects are not available on this renderer!");
        EXPECT_EQ(alert.l2, name);
        EXPECT_EQ(alert.type, ALERT_FATAL);
    }
    EXPECT_EQ(buffer.vbo, 0u);
    buffer.finalize_mem();
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer.mem), 3), "abc");
}
