// Vertex-buffer chunks on a real context: appends straddling chunks read back from memory and from
// buffer objects at their offsets, mapping, destruction while mapped, and the misuse alerts.
#include "gfx/chunkybuffer.h"

#include <functional>
#include <numeric>

#include "gfx/gfx_helpers.h"
#include "gfx/ogl_ext.h"
#include "gfx/screenshot.h"
#include "support/alert_recorder.h"
#include "support/file_bytes.h"

namespace {

class chunks : public gfx_test::screen_test {
protected:
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
    const std::tuple<std::vector<std::vector<size_t>>, std::vector<int>, int> cases[] = {
        // per subregion the sizes appended in turn (interleaved), then the offsets and the total
        {{}, {}, 0},
        {{{10}, {}, {2000}}, {0, 10, 10}, 2010},
        {{{7, 1500, 493, 1000, 2048}, {1024, 1}, {5}}, {0, 5048, 6073}, 6078},  // short of, at, across edges
    };
    for (int finalization : {0, 1, 2}) {  // memory, static buffer object, stream buffer object
        for (const auto& [writes, offsets, total] : cases) {
            OGL_chunkybuffer buffer;
            std::vector<OGL_chunky_subregion*> subregions;
            std::vector<std::string> contents(writes.size());
            for (size_t s = 0; s < writes.size(); ++s)
                subregions.push_back(buffer.new_subregion());
            for (size_t round = 0, start = 1; round < 5; ++round)
                for (size_t s = 0; s < writes.size(); ++s)
                    if (round < writes[s].size()) {
                        const std::string bytes = test::patterned_bytes(writes[s][round], start++);
                        buffer.append(subregions[s], bytes.data(), bytes.size());
                        contents[s] += bytes;
                    }
            finalization == 0 ? buffer.finalize_mem() : buffer.finalize_vbo(finalization == 1);
            std::vector<int> placed;
            for (const OGL_chunky_subregion* s : subregions)
                placed.push_back(s->offset);
            EXPECT_EQ(std::tuple(buffer.total, placed, block(buffer)),
                      std::tuple(total, offsets, std::accumulate(contents.begin(), contents.end(), std::string())))
                << "finalization " << finalization;
        }
    }
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
        EXPECT_EQ(block(buffer), "Xbcdef");
        OGL_bind_vbo_ind(name);
        buffer.map();  // left mapped: the destructor must unmap it, not free the driver's memory
    }
    GLint array = -1, element = -1;
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING_ARB, &array);
    glGetIntegerv(GL_ELEMENT_ARRAY_BUFFER_BINDING_ARB, &element);
    EXPECT_EQ(array + element + glExt.glIsBufferARB(name), 0) << "still bound or still there";
}

TEST_F(chunks, MisuseIsAFatalAlert)
{
    test::alert_recorder alerts;
    OGL_chunkybuffer buffer;
    OGL_chunky_subregion* subregion = buffer.new_subregion();
    buffer.append(subregion, "abc", 3);
    glExt.vbo_avail = 0;
    // Mapping and unmapping are refused the same way as finalizing into a buffer object.
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[&] { buffer.finalize_vbo(1); }, "Vertex buffer objects are not available on this renderer! finalize_vbo"},
        {[&] { buffer.finalize_mem(), buffer.append(subregion, "x", 1); },
         "Cannot append to a finalized vertex buffer! "},
    };
    for (const auto& [call, text] : cases) {
        const test::recorded_alert alert = test::expect_fatal(call);
        EXPECT_EQ(alert.l1 + " " + alert.l2, text);
    }
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer.mem), 3), "abc") << "memory needs no buffer objects";
}
