// chunkybuffer: vertex data of unknown final size collected in several streams (subregions), then laid
// end to end once, in plain memory (finalize_mem) or in an OpenGL buffer object (finalize_vbo). Data grows
// in fixed 1024-byte chunks, so appending never moves what is written; after finalization each subregion
// knows its byte offset in the block, which is what draw calls use.
// Invariant: a subregion takes appends only until its buffer is finalized; a buffer object is used only
// where glExt.vbo_avail is set (else a misuse alert), and a mapping is undone, never freed.
#pragma once

#include <cstddef>

// Bytes of vertex data one chunk holds.
constexpr int OGL_CHUNK_BYTES = 1024;

struct OGL_chunk {
    OGL_chunk* next;  // next chunk of the same subregion
    int free;         // bytes of data still free
    unsigned char data[OGL_CHUNK_BYTES];
};

struct OGL_chunky_subregion {
    OGL_chunky_subregion* next;  // next subregion in creation order
    OGL_chunk* first_chunk;      // null after finalization
    OGL_chunk* cur_chunk;        // the chunk being written; null after finalization
    unsigned char* write_ptr;    // next free byte of cur_chunk
    int offset;                  // byte offset in the finalized block
};

class OGL_chunkybuffer {
public:
    OGL_chunkybuffer();
    ~OGL_chunkybuffer();
    OGL_chunkybuffer(const OGL_chunkybuffer&) = delete;
    OGL_chunkybuffer& operator=(const OGL_chunkybuffer&) = delete;

    OGL_chunky_subregion* new_subregion();
    // Adds n bytes at the end of the subregion, filling its current chunk and chaining new ones.
    void append(OGL_chunky_subregion* subregion, const void* bytes, size_t n);
    void calc_offsets();
    void finalize_mem();
    // static_data non-zero: GL_STATIC_DRAW_ARB, else GL_STREAM_DRAW_ARB. The buffer stays bound.
    void finalize_vbo(int static_data);
    // A finalized buffer object mapped for writing at `mem`, and unmapped again; nothing for memory.
    void map();
    void unmap();

    unsigned char* mem;  // the finalize_mem block, or the mapping while mapped
    unsigned int vbo;    // buffer object name, 0 when none
    int total;           // used bytes of all subregions
    OGL_chunky_subregion* first;
    OGL_chunky_subregion* last;

private:
    void require_buffer_objects(const char* operation) const;
};
