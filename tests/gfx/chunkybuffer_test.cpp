// Vertex-buffer chunks on a real context: appends straddling chunks read back from memory and from
// buffer objects with their offsets, a mesh drawn from a buffer object, mapping, destruction while
// mapped, and the misuse alerts.
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

class chunks : public test::gl_test {
protected:
    void SetUp() override
    {
        test::gl_test::SetUp();
        gfx_test::set_up_screen();
    }
    void TearDown() override { glExt.vbo_avail = 1; }

    // The finalized block, from memory or read back from the buffer object.
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

}  // namespace

TEST_F(chunks, AppendsReadBackInOrderAtTheirOffsets)
{
    struct layout_case {
        std::vector<std::vector<size_t>> writes;  // per subregion, the sizes appended in turn
        std::vector<int> offsets;
        int total;
    };
    const layout_case cases[] = {
        {{}, {}, 0},
        {{{10}, {}, {2000}}, {0, 10, 10}, 2010},
        // ending short of, exactly at and across the 1024-byte chunk edges, interleaved
        {{{7, 1500, 493, 1000, 2048}, {1024, 1}, {5}}, {0, 5048, 6073}, 6078},
    };
    for (int finalization : {0, 1, 2}) {  // memory, static buffer object, stream buffer object
        for (const layout_case& c : cases) {
            OGL_chunkybuffer buffer;
            std::vector<OGL_chunky_subregion*> subregions;
            std::vector<std::string> contents(c.writes.size());
            for (size_t s = 0; s < c.writes.size(); ++s)
                subregions.push_back(buffer.new_subregion());
            for (size_t round = 0, seed = 1; round < 5; ++round)
                for (size_t s = 0; s < c.writes.size(); ++s)
                    if (round < c.writes[s].size()) {
                        const std::string bytes = test::patterned_bytes(c.writes[s][round], seed++);
                        buffer.append(subregions[s], bytes.data(), bytes.size());
                        contents[s] += bytes;
                    }
            if (finalization == 0)
                buffer.finalize_mem();
            else
                buffer.finalize_vbo(finalization == 1);
            EXPECT_EQ(buffer.total, c.total);
            std::string expected;
            for (size_t s = 0; s < subregions.size(); ++s) {
                EXPECT_EQ(subregions[s]->offset, c.offsets[s]);
                expected += contents[s];
            }
            EXPECT_EQ(block(buffer), expected) << "finalization " << finalization;
            GLint usage = 0;
            if (finalization > 0)
                glExt.glGetBufferParameterivARB(GL_ARRAY_BUFFER_ARB, GL_BUFFER_USAGE_ARB, &usage);
            EXPECT_EQ(usage, finalization == 0 ? 0 : finalization == 1 ? GL_STATIC_DRAW_ARB : GL_STREAM_DRAW_ARB);
        }
    }
}

TEST_F(chunks, MeshDrawsFromTheBufferObject)
{
    // Positions and colours in two subregions: 64 quads of 16 x 16 pixels, a red and blue check.
    OGL_chunkybuffer buffer;
    OGL_chunky_subregion* positions = buffer.new_subregion();
    OGL_chunky_subregion* colours = buffer.new_subregion();
    for (int q = 0; q < 64; ++q) {
        const float x = static_cast<float>(q % 8 * 16), y = static_cast<float>(q / 8 * 16);
        const float corners[8] = {x, y, x, y + 16, x + 16, y + 16, x + 16, y};
        buffer.append(positions, corners, sizeof(corners));
        const unsigned char red = (q % 8 + q / 8) % 2 == 0 ? 255 : 0;
        const unsigned char colour[4] = {red, 0, static_cast<unsigned char>(255 - red), 255};
        for (int corner = 0; corner < 4; ++corner)
            buffer.append(colours, colour, 4);
    }
    buffer.finalize_vbo(1);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(2, GL_FLOAT, 0, reinterpret_cast<const void*>(static_cast<size_t>(positions->offset)));
    glColorPointer(4, GL_UNSIGNED_BYTE, 0, reinterpret_cast<const void*>(static_cast<size_t>(colours->offset)));
    glDrawArrays(GL_QUADS, 0, 64 * 4);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    OGL_bind_vbo(0);
    const int probes[][3] = {{8, 8, 255}, {24, 8, 0}, {120, 120, 255}, {104, 120, 0}};
    for (const auto& p : probes)
        EXPECT_EQ(pixel(p[0], p[1]), rgba({static_cast<uint8_t>(p[2]), 0, static_cast<uint8_t>(255 - p[2]), 255}));
    EXPECT_EQ(pixel(130, 8), rgba({0, 0, 0, 255}));
}

TEST_F(chunks, MappingWritesTheBufferObjectAndDestroyingGivesTheMappingBack)
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
        EXPECT_EQ(block(buffer), "Xbcdef");
        OGL_bind_vbo_ind(name);
        buffer.map();  // left mapped: the destructor must unmap it, not free the driver's memory
    }
    EXPECT_FALSE(glExt.glIsBufferARB(name));
    GLint array = -1, element = -1;
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING_ARB, &array);
    glGetIntegerv(GL_ELEMENT_ARRAY_BUFFER_BINDING_ARB, &element);
    EXPECT_EQ(array + element, 0);

    OGL_chunkybuffer in_memory;
    in_memory.finalize_mem();
    unsigned char* block_before = in_memory.mem;
    in_memory.map();
    in_memory.unmap();
    EXPECT_EQ(in_memory.mem, block_before) << "a memory block is no mapping";
}

TEST_F(chunks, MisuseIsAFatalAlert)
{
    test::alert_recorder alerts;
    OGL_chunkybuffer buffer;
    OGL_chunky_subregion* subregion = buffer.new_subregion();
    buffer.append(subregion, "abc", 3);
    glExt.vbo_avail = 0;
    const std::pair<std::function<void()>, const char*> cases[] = {
        {[&] { buffer.finalize_vbo(1); }, "Vertex buffer objects are not available on this renderer! finalize_vbo"},
        {[&] { buffer.map(); }, "Vertex buffer objects are not available on this renderer! map"},
        {[&] { buffer.unmap(); }, "Vertex buffer objects are not available on this renderer! unmap"},
        {[&] { buffer.finalize_mem(), buffer.append(subregion, "x", 1); },
         "Cannot append to a finalized vertex buffer! "},
    };
    for (const auto& [call, text] : cases) {
        const test::recorded_alert alert = test::expect_fatal(call);
        EXPECT_EQ(alert.l1 + " " + alert.l2, text);
    }
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer.mem), 3), "abc") << "memory needs no buffer objects";
}
