#include "gfx/chunkybuffer.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "core/alert.h"
#include "gfx/ogl_ext.h"
#include "gfx/screenshot.h"

namespace {

constexpr const char* CHUNKS_SOURCE = "DEzovuv/OGL/OGL_chunkybuffer";
constexpr int NO_BUFFER_OBJECTS_LINE = 41;
constexpr int FINALIZED_LINE = 58;
constexpr int OUT_OF_MEMORY_LINE = 27;

// Vertex data has nowhere else to go: a block that cannot be had ends the program with its size.
void* allocate(size_t bytes)
{
    void* block = std::malloc(bytes == 0 ? 1 : bytes);
    if (block == nullptr)
        __MACIBM_alert(0, "Out of memory for vertex data!", "bytes:", std::to_string(bytes), "", ALERT_FATAL,
                       CHUNKS_SOURCE, OUT_OF_MEMORY_LINE);
    return block;
}

OGL_chunk* new_chunk()
{
    OGL_chunk* chunk = static_cast<OGL_chunk*>(allocate(sizeof(OGL_chunk)));
    chunk->next = nullptr;
    chunk->free = OGL_CHUNK_BYTES;
    return chunk;
}

int used_bytes(const OGL_chunk* chunk)
{
    return OGL_CHUNK_BYTES - chunk->free;
}

// Hands every used byte of every subregion, in order, to `take(offset, bytes, n)`, freeing each chunk
// after it; the subregions keep no chunks afterwards.
template <typename Take> void drain_chunks(OGL_chunky_subregion* first, Take take)
{
    int offset = 0;
    for (OGL_chunky_subregion* s = first; s != nullptr; s = s->next) {
        for (OGL_chunk* c = s->first_chunk; c != nullptr;) {
            OGL_chunk* next = c->next;
            take(offset, c->data, used_bytes(c));
            offset += used_bytes(c);
            std::free(c);
            c = next;
        }
        s->first_chunk = s->cur_chunk = nullptr;
        s->write_ptr = nullptr;
    }
}

}

OGL_chunkybuffer::OGL_chunkybuffer() : mem(nullptr), vbo(0), total(0), first(nullptr), last(nullptr) { }

OGL_chunkybuffer::~OGL_chunkybuffer()
{
    if (vbo != 0) {
        // A mapping belongs to the driver: it is given back, never freed.
        if (mem != nullptr)
            unmap();
        OGL_bind_vbo(0);
        OGL_bind_vbo_ind(0);
        glExt.glDeleteBuffersARB(1, &vbo);
    }
    std::free(mem);
    for (OGL_chunky_subregion* s = first; s != nullptr;) {
        for (OGL_chunk* c = s->first_chunk; c != nullptr;) {
            OGL_chunk* next = c->next;
            std::free(c);
            c = next;
        }
        OGL_chunky_subregion* next = s->next;
        std::free(s);
        s = next;
    }
}

OGL_chunky_subregion* OGL_chunkybuffer::new_subregion()
{
    OGL_chunky_subregion* s = static_cast<OGL_chunky_subregion*>(allocate(sizeof(OGL_chunky_subregion)));
    s->next = nullptr;
    s->offset = 0;
    s->first_chunk = s->cur_chunk = new_chunk();
    s->write_ptr = s->cur_chunk->data;
    if (first != nullptr)
        last->next = s;
    else
        first = s;
    last = s;
    return s;
}

void OGL_chunkybuffer::append(OGL_chunky_subregion* s, const void* bytes, size_t n)
{
    // Finalization freed the chunks the subregion pointed into.
    if (s->cur_chunk == nullptr)
        __MACIBM_alert(0, "Cannot append to a finalized vertex buffer!", "", "", "", ALERT_FATAL, CHUNKS_SOURCE,
                       FINALIZED_LINE);
    const unsigned char* from = static_cast<const unsigned char*>(bytes);
    while (n > 0) {
        if (s->cur_chunk->free == 0) {
            OGL_chunk* chunk = new_chunk();
            s->cur_chunk->next = chunk;
            s->cur_chunk = chunk;
            s->write_ptr = chunk->data;
        }
        const size_t take = n < static_cast<size_t>(s->cur_chunk->free) ? n : s->cur_chunk->free;
        std::memcpy(s->write_ptr, from, take);
        s->write_ptr += take;
        s->cur_chunk->free -= static_cast<int>(take);
        from += take;
        n -= take;
    }
}

void OGL_chunkybuffer::calc_offsets()
{
    total = 0;
    for (OGL_chunky_subregion* s = first; s != nullptr; s = s->next) {
        s->offset = total;
        for (const OGL_chunk* c = s->first_chunk; c != nullptr; c = c->next)
            total += used_bytes(c);
    }
}

void OGL_chunkybuffer::finalize_mem()
{
    calc_offsets();
    mem = static_cast<unsigned char*>(allocate(static_cast<size_t>(total)));
    drain_chunks(first, [this](int offset, const unsigned char* bytes, int n) { std::memcpy(mem + offset, bytes, n); });
}

void OGL_chunkybuffer::finalize_vbo(int static_data)
{
    require_buffer_objects("finalize_vbo");
    calc_offsets();
    glExt.glGenBuffersARB(1, &vbo);
    OGL_bind_vbo(vbo);
    glExt.glBufferDataARB(GL_ARRAY_BUFFER_ARB, total, nullptr, static_data ? GL_STATIC_DRAW_ARB : GL_STREAM_DRAW_ARB);
    mem = nullptr;
    // One buffer at its final size, filled chunk by chunk: no block is assembled on the way.
    drain_chunks(first, [](int offset, const unsigned char* bytes, int n) {
        glExt.glBufferSubDataARB(GL_ARRAY_BUFFER_ARB, offset, n, bytes);
    });
}

void OGL_chunkybuffer::map()
{
    require_buffer_objects("map");
    if (vbo == 0)
        return;
    OGL_bind_vbo(vbo);
    mem = static_cast<unsigned char*>(glExt.glMapBufferARB(GL_ARRAY_BUFFER_ARB, GL_WRITE_ONLY_ARB));
}

void OGL_chunkybuffer::unmap()
{
    require_buffer_objects("unmap");
    if (vbo == 0)
        return;
    OGL_bind_vbo(vbo);
    (void)glExt.glUnmapBufferARB(GL_ARRAY_BUFFER_ARB);  // a lost mapping has nothing left to save
    OGL_bind_vbo(0);
    mem = nullptr;
}

// Without the extension the buffer-object entry points are null.
void OGL_chunkybuffer::require_buffer_objects(const char* operation) const
{
    if (!glExt.vbo_avail)
        __MACIBM_alert(0, "Vertex buffer objects are not available on this renderer!", operation, "", "", ALERT_FATAL,
                       CHUNKS_SOURCE, NO_BUFFER_OBJECTS_LINE);
}
