// ogl_ext: what the renderer can do. `glExt` holds the extension entry points and 0/1 capability
// flags; `ren` holds the renderer's limits and strings plus the 2-D drawing state (global alpha,
// green-only mode, light levels). The shell fills both once at start-up (init_entry_points while
// making the context, init_extensions once it is current); afterwards everything else only reads them.
// Invariant: a pointer group whose flag is 0 may hold nulls; callers test the flag, never the pointer.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdint>
#include <ostream>

// Entry points by group, in slot order: buffer objects (0-10), vertex and fragment programs
// (11-72), occlusion queries (73-80).
#define OGL_BUFFER_PROCS(X) \
    X(PFNGLBINDBUFFERARBPROC, glBindBufferARB) \
    X(PFNGLDELETEBUFFERSARBPROC, glDeleteBuffersARB) \
    X(PFNGLGENBUFFERSARBPROC, glGenBuffersARB) \
    X(PFNGLISBUFFERARBPROC, glIsBufferARB) \
    X(PFNGLBUFFERDATAARBPROC, glBufferDataARB) \
    X(PFNGLBUFFERSUBDATAARBPROC, glBufferSubDataARB) \
    X(PFNGLGETBUFFERSUBDATAARBPROC, glGetBufferSubDataARB) \
    X(PFNGLMAPBUFFERARBPROC, glMapBufferARB) \
    X(PFNGLUNMAPBUFFERARBPROC, glUnmapBufferARB) \
    X(PFNGLGETBUFFERPARAMETERIVARBPROC, glGetBufferParameterivARB) \
    X(PFNGLGETBUFFERPOINTERVARBPROC, glGetBufferPointervARB)

#define OGL_PROGRAM_PROCS(X) \
    X(PFNGLVERTEXATTRIB1DARBPROC, glVertexAttrib1dARB) \
    X(PFNGLVERTEXATTRIB1DVARBPROC, glVertexAttrib1dvARB) \
    X(PFNGLVERTEXATTRIB1FARBPROC, glVertexAttrib1fARB) \
    X(PFNGLVERTEXATTRIB1FVARBPROC, glVertexAttrib1fvARB) \
    X(PFNGLVERTEXATTRIB1SARBPROC, glVertexAttrib1sARB) \
    X(PFNGLVERTEXATTRIB1SVARBPROC, glVertexAttrib1svARB) \
    X(PFNGLVERTEXATTRIB2DARBPROC, glVertexAttrib2dARB) \
    X(PFNGLVERTEXATTRIB2DVARBPROC, glVertexAttrib2dvARB) \
    X(PFNGLVERTEXATTRIB2FARBPROC, glVertexAttrib2fARB) \
    X(PFNGLVERTEXATTRIB2FVARBPROC, glVertexAttrib2fvARB) \
    X(PFNGLVERTEXATTRIB2SARBPROC, glVertexAttrib2sARB) \
    X(PFNGLVERTEXATTRIB2SVARBPROC, glVertexAttrib2svARB) \
    X(PFNGLVERTEXATTRIB3DARBPROC, glVertexAttrib3dARB) \
    X(PFNGLVERTEXATTRIB3DVARBPROC, glVertexAttrib3dvARB) \
    X(PFNGLVERTEXATTRIB3FARBPROC, glVertexAttrib3fARB) \
    X(PFNGLVERTEXATTRIB3FVARBPROC, glVertexAttrib3fvARB) \
    X(PFNGLVERTEXATTRIB3SARBPROC, glVertexAttrib3sARB) \
    X(PFNGLVERTEXATTRIB3SVARBPROC, glVertexAttrib3svARB) \
    X(PFNGLVERTEXATTRIB4NBVARBPROC, glVertexAttrib4NbvARB) \
    X(PFNGLVERTEXATTRIB4NIVARBPROC, glVertexAttrib4NivARB) \
    X(PFNGLVERTEXATTRIB4NSVARBPROC, glVertexAttrib4NsvARB) \
    X(PFNGLVERTEXATTRIB4NUBARBPROC, glVertexAttrib4NubARB) \
    X(PFNGLVERTEXATTRIB4NUBVARBPROC, glVertexAttrib4NubvARB) \
    X(PFNGLVERTEXATTRIB4NUIVARBPROC, glVertexAttrib4NuivARB) \
    X(PFNGLVERTEXATTRIB4NUSVARBPROC, glVertexAttrib4NusvARB) \
    X(PFNGLVERTEXATTRIB4BVARBPROC, glVertexAttrib4bvARB) \
    X(PFNGLVERTEXATTRIB4DARBPROC, glVertexAttrib4dARB) \
    X(PFNGLVERTEXATTRIB4DVARBPROC, glVertexAttrib4dvARB) \
    X(PFNGLVERTEXATTRIB4FARBPROC, glVertexAttrib4fARB) \
    X(PFNGLVERTEXATTRIB4FVARBPROC, glVertexAttrib4fvARB) \
    X(PFNGLVERTEXATTRIB4IVARBPROC, glVertexAttrib4ivARB) \
    X(PFNGLVERTEXATTRIB4SARBPROC, glVertexAttrib4sARB) \
    X(PFNGLVERTEXATTRIB4SVARBPROC, glVertexAttrib4svARB) \
    X(PFNGLVERTEXATTRIB4UBVARBPROC, glVertexAttrib4ubvARB) \
    X(PFNGLVERTEXATTRIB4UIVARBPROC, glVertexAttrib4uivARB) \
    X(PFNGLVERTEXATTRIB4USVARBPROC, glVertexAttrib4usvARB) \
    X(PFNGLVERTEXATTRIBPOINTERARBPROC, glVertexAttribPointerARB) \
    X(PFNGLENABLEVERTEXATTRIBARRAYARBPROC, glEnableVertexAttribArrayARB) \
    X(PFNGLDISABLEVERTEXATTRIBARRAYARBPROC, glDisableVertexAttribArrayARB) \
    X(PFNGLPROGRAMSTRINGARBPROC, glProgramStringARB) \
    X(PFNGLBINDPROGRAMARBPROC, glBindProgramARB) \
    X(PFNGLDELETEPROGRAMSARBPROC, glDeleteProgramsARB) \
    X(PFNGLGENPROGRAMSARBPROC, glGenProgramsARB) \
    X(PFNGLPROGRAMENVPARAMETER4DARBPROC, glProgramEnvParameter4dARB) \
    X(PFNGLPROGRAMENVPARAMETER4DVARBPROC, glProgramEnvParameter4dvARB) \
    X(PFNGLPROGRAMENVPARAMETER4FARBPROC, glProgramEnvParameter4fARB) \
    X(PFNGLPROGRAMENVPARAMETER4FVARBPROC, glProgramEnvParameter4fvARB) \
    X(PFNGLPROGRAMLOCALPARAMETER4DARBPROC, glProgramLocalParameter4dARB) \
    X(PFNGLPROGRAMLOCALPARAMETER4DVARBPROC, glProgramLocalParameter4dvARB) \
    X(PFNGLPROGRAMLOCALPARAMETER4FARBPROC, glProgramLocalParameter4fARB) \
    X(PFNGLPROGRAMLOCALPARAMETER4FVARBPROC, glProgramLocalParameter4fvARB) \
    X(PFNGLGETPROGRAMENVPARAMETERDVARBPROC, glGetProgramEnvParameterdvARB) \
    X(PFNGLGETPROGRAMENVPARAMETERFVARBPROC, glGetProgramEnvParameterfvARB) \
    X(PFNGLGETPROGRAMLOCALPARAMETERDVARBPROC, glGetProgramLocalParameterdvARB) \
    X(PFNGLGETPROGRAMLOCALPARAMETERFVARBPROC, glGetProgramLocalParameterfvARB) \
    X(PFNGLGETPROGRAMIVARBPROC, glGetProgramivARB) \
    X(PFNGLGETPROGRAMSTRINGARBPROC, glGetProgramStringARB) \
    X(PFNGLGETVERTEXATTRIBDVARBPROC, glGetVertexAttribdvARB) \
    X(PFNGLGETVERTEXATTRIBFVARBPROC, glGetVertexAttribfvARB) \
    X(PFNGLGETVERTEXATTRIBIVARBPROC, glGetVertexAttribivARB) \
    X(PFNGLGETVERTEXATTRIBPOINTERVARBPROC, glGetVertexAttribPointervARB) \
    X(PFNGLISPROGRAMARBPROC, glIsProgramARB)

#define OGL_QUERY_PROCS(X) \
    X(PFNGLGENQUERIESARBPROC, glGenQueriesARB) \
    X(PFNGLDELETEQUERIESARBPROC, glDeleteQueriesARB) \
    X(PFNGLISQUERYARBPROC, glIsQueryARB) \
    X(PFNGLBEGINQUERYARBPROC, glBeginQueryARB) \
    X(PFNGLENDQUERYARBPROC, glEndQueryARB) \
    X(PFNGLGETQUERYIVARBPROC, glGetQueryivARB) \
    X(PFNGLGETQUERYOBJECTIVARBPROC, glGetQueryObjectivARB) \
    X(PFNGLGETQUERYOBJECTUIVARBPROC, glGetQueryObjectuivARB)
class OGL_extensions {
public:
    OGL_extensions();

#define OGL_DECLARE_PROC(type, name) type name;
    OGL_BUFFER_PROCS(OGL_DECLARE_PROC)
    OGL_PROGRAM_PROCS(OGL_DECLARE_PROC)
    OGL_QUERY_PROCS(OGL_DECLARE_PROC)
#undef OGL_DECLARE_PROC

    int32_t multitex_avail;
    int32_t tex_clamp_avail;
    int32_t add_env_avail;
    int32_t combine_avail;
    int32_t dis_fog_avail;
    int32_t tex_comp_avail;
    int32_t vbo_avail;
    int32_t pbuffer_avail;  // never set: pbuffers report themselves unavailable
    int32_t vshader_avail;
    int32_t fshader_avail;
    int32_t automini_avail;
    int32_t aniso_avail;
    int32_t fsaa_avail;
    int32_t sprites_avail;
    int32_t depth_tex_avail;
    int32_t occlude_avail;

    // Prepares entry-point lookups. 0 on success, else a status the shell turns into a fatal alert.
    [[nodiscard]] int32_t init_entry_points();
    // Reads the current context's strings and limits, then runs detect() on them.
    void init_extensions();
    // The whole detection on the given renderer strings (kept by pointer in `ren`, so they must
    // outlive the run): flags, renderer workaround, limits, entry points, command-line overrides,
    // the "OpenGL Situation" log report and the hardware verdict. Limits come from the current context.
    void detect(const char* vendor, const char* renderer, const char* version, const char* extensions);

private:
    // Values gathered only for the log report.
    struct report_values {
        GLint max_texture_size = 0;
        GLfloat max_point_size = 0;
        GLint vertex_instructions = 0;
        GLint fragment_limits[4] = {0, 0, 0, 0};
    };

    void set_flags(int version, const char* extensions);
    void read_limits(report_values& report);
    void look_up_entry_points();
    void read_program_limits(report_values& report);
    // Renderer checks (renderer.cpp).
    void apply_sprite_workaround();
    void apply_command_line_overrides();
    void write_report(std::ostream& log, const report_values& report) const;
    void judge_hardware(int version) const;
};

extern OGL_extensions glExt;

// The renderer's limits and strings and the state every 2-D primitive reads. Zero-filled global;
// the shell sets global_alpha to 1 at start-up.
struct ren_class {
    float max_aniso;
    int32_t max_tex_units;
    int32_t max_tex_image_units;
    int32_t max_tex_coords;
    const char* gl_vendor;
    const char* gl_renderer;
    const char* gl_version;
    const char* gl_extensions;
    int32_t green_only;
    float global_alpha;
    float light_level_2;
    float light_level_1;
};

extern ren_class ren;

// The version number the capability rules use: 110..150 for "1.1".."1.5", 200 for "2.0" and any
// later "M.m", 100 for "1.0" and for text that does not start with a version.
int OGL_version_number(const char* version);

// True when `name` occurs anywhere in `extensions` (a plain substring test, as the renderer
// lists names separated by blanks and a prefix match is accepted).
bool OGL_listed(const char* extensions, const char* name);

// Looks a function up by exact name in the loaded OpenGL library; null when absent.
void* aglGetProcAddress(const char* name);
