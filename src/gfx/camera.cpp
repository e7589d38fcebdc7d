#include "gfx/camera.h"

#include <GL/gl.h>

#include <cmath>
#include <cstring>

#include "core/mnw.h"
#include "gfx/matrix.h"

xcam_class xcam;

namespace {

// Starting extents of an accumulated box: "nothing yet" on every axis.
constexpr double EMPTY_BOX = 9.9e9;

// m x (x, y, z, w), all four components.
void transform(double* out, const double* m, const double* v)
{
    for (int r = 0; r < 4; ++r)
        out[r] = m[r] * v[0] + m[4 + r] * v[1] + m[8 + r] * v[2] + m[12 + r] * v[3];
}

// A direction of the eye's own frame (a point at w = 1) carried into world
// space by the transposed model-view rotation, unit length unless it is zero.
void eye_axis(double* axis, const double* modelview, const double* eye_vector)
{
    double t[16];
    transposeMatrix(t, modelview);
    double out[4];
    transform(out, t, eye_vector);
    axis[0] = out[0];
    axis[1] = out[1];
    axis[2] = out[2];
    vec3_normalise(axis);
}

}  // namespace

xcam_class::xcam_class()
{
    setIdentityMatrix(proj);
    setIdentityMatrix(mv);
    is_ortho = 1;
    changed = 1;
    reread_mv = 1;
}

xcam_class::xcam_class(xcam_class* other)
{
    if (other != nullptr)
        *this = *other;
}

void xcam_class::SetupOrtho(double left, double right, double bottom, double top, double near_dist, double far_dist)
{
    is_ortho = 1;
    buildOrthoMatrix(proj, left, right, bottom, top, near_dist, far_dist);
    changed = 1;
    o_top = top;
    o_left = left;
    o_right = right;
    o_bottom = bottom;
    near_z = -near_dist;
    far_z = fake_far_z = -far_dist;
}

void xcam_class::SetupFrustum(double left, double right, double bottom, double top, double near_dist, double far_dist)
{
    is_ortho = 0;
    buildFrustumMatrix(proj, left, right, bottom, top, near_dist, far_dist);
    const double z = -near_dist;
    double a[3] = {left, top, z}, b[3] = {right, top, z}, c[3] = {left, bottom, z}, d[3] = {right, bottom, z};
    vec3_normalise(a);
    vec3_normalise(b);
    vec3_normalise(c);
    vec3_normalise(d);
    vec3_cross(n_top, a, b);
    vec3_cross(n_left, c, a);
    vec3_cross(n_right, b, d);
    vec3_cross(n_bottom, d, c);
    vec3_normalise(n_top);
    vec3_normalise(n_left);
    vec3_normalise(n_right);
    vec3_normalise(n_bottom);
    near_z = -near_dist;
    changed = 1;
    far_z = fake_far_z = -far_dist;
}

void xcam_class::SetupPerspective(double fovy, double aspect, double near_dist, double far_dist)
{
    const double h = near_dist * std::tan(fovy * M_PI / 360.0);
    SetupFrustum(-h * aspect, h * aspect, -h, h, near_dist, far_dist);
}

void xcam_class::SetFakeFarClippingPlane(double dist)
{
    const float wanted = static_cast<float>(-dist);
    const float real = static_cast<float>(far_z);
    fake_far_z = wanted > real ? wanted : real;
}

void xcam_class::ResetFakeFarClippingPlane()
{
    fake_far_z = far_z;
}

void xcam_class::Identity()
{
    setIdentityMatrix(mv);
    changed = 1;
}

void xcam_class::Translate(double x, double y, double z)
{
    applyTranslation(mv, x, y, z);
    changed = 1;
}

void xcam_class::Rotate(double angle, double x, double y, double z)
{
    applyRotation(mv, angle, x, y, z);
    changed = 1;
}

void xcam_class::LookAtPtFromPt(double eye_x, double eye_y, double eye_z, double at_x, double at_y, double at_z,
                                double up_x, double up_y, double up_z)
{
    buildLookAtMatrix(mv, eye_x, eye_y, eye_z, at_x, at_y, at_z, up_x, up_y, up_z);
    changed = 1;
}

void xcam_class::LookAtPtFromDir(double x, double y, double z, double heading, double pitch, double dist)
{
    const double h = heading * DEGREES_TO_RADIANS;
    const double p = pitch * DEGREES_TO_RADIANS;
    const double eye_x = x + dist * std::cos(p) * std::cos(h);
    const double eye_y = y + dist * std::sin(p);
    const double eye_z = z + dist * std::cos(p) * std::sin(h);
    LookAtPtFromPt(eye_x, eye_y, eye_z, x, y, z, 0, 1, 0);
}

void xcam_class::LookAtCamera(xcam_class* other, double* dir, double dist)
{
    double inv_proj[16], inv_mv[16];
    if (!invertMatrix(inv_proj, other->proj) || !invertMatrix(inv_mv, other->mv))
        return;
    const double eye[3] = {inv_mv[12], inv_mv[13], inv_mv[14]};
    LookAtPtFromPt(eye[0] - dist * dir[0], eye[1] - dist * dir[1], eye[2] - dist * dir[2], eye[0], eye[1], eye[2], 0, 1,
                   0);

    const double zn = other->near_z, zf = other->far_z;
    const double corners[4][2] = {{-1, -1}, {-1, 1}, {1, -1}, {1, 1}};
    double lo[3] = {EMPTY_BOX, EMPTY_BOX, EMPTY_BOX};
    double hi[3] = {-EMPTY_BOX, -EMPTY_BOX, -EMPTY_BOX};
    for (const auto& corner : corners) {
        const double near_point[4] = {corner[0] * zn, corner[1] * zn, -zn, zn};
        const double far_point[4] = {corner[0] * zf, corner[1] * zf, zf, zf};
        for (const double* clip : {near_point, far_point}) {
            double eye_space[4], world[4], here[4];
            transform(eye_space, inv_proj, clip);
            transform(world, inv_mv, eye_space);
            transform(here, mv, world);
            for (int i = 0; i < 3; ++i) {
                lo[i] = here[i] < lo[i] ? here[i] : lo[i];
                hi[i] = here[i] > hi[i] ? here[i] : hi[i];
            }
        }
    }
    SetupOrtho(lo[0], hi[0], lo[1], hi[1], lo[2], hi[2]);
}

void xcam_class::fetch_modelview_if_stale()
{
    if (!reread_mv)
        return;
    reread_mv = 0;
    changed = 1;
    glGetDoublev(GL_MODELVIEW_MATRIX, mv);
}

void xcam_class::CalcUp(double* up)
{
    fetch_modelview_if_stale();
    const double v[4] = {0, 1, 0, 1};
    eye_axis(up, mv, v);
}

void xcam_class::CalcDirection(double* dir)
{
    fetch_modelview_if_stale();
    const double v[4] = {0, 0, -1, 1};
    eye_axis(dir, mv, v);
}

void xcam_class::CalcRight(double* right)
{
    double dir[3], up[3];
    CalcDirection(dir);
    CalcUp(up);
    vec3_cross(right, dir, up);
}

void xcam_class::CalcBillboardGround(float* right, float* up)
{
    double dir[3];
    CalcDirection(dir);
    double r[3] = {-dir[2], 0, dir[0]};
    vec3_normalise(r);
    double u[3];
    vec3_cross(u, r, dir);
    vec3_normalise(u);
    for (int i = 0; i < 3; ++i) {
        right[i] = static_cast<float>(r[i]);
        up[i] = static_cast<float>(u[i]);
    }
}

void xcam_class::CalcBillboardCamera(float* right, float* up)
{
    double dir[3], u[3], r[3];
    CalcDirection(dir);
    CalcUp(u);
    vec3_cross(r, dir, u);
    vec3_normalise(r);
    for (int i = 0; i < 3; ++i) {
        right[i] = static_cast<float>(r[i]);
        up[i] = static_cast<float>(u[i]);
    }
}

int xcam_class::GetFOVHalfCosines(float* horizontal, float* vertical)
{
    if (is_ortho)
        return 0;
    if (horizontal != nullptr)
        *horizontal = static_cast<float>((n_left[0] - n_right[0]) * 0.5);
    if (vertical != nullptr)
        *vertical = static_cast<float>((n_bottom[1] - n_top[1]) * 0.5);
    return 1;
}

bool xcam_class::GetFrustumBounds(double max_dist, double y_low, double y_high, double* box_min, double* box_max)
{
    for (int i = 0; i < 3; ++i) {
        box_min[i] = EMPTY_BOX;
        box_max[i] = -EMPTY_BOX;
    }
    double inv_mv[16];
    if (!invertMatrix(inv_mv, mv))
        return false;
    const double far_limit = far_z > -max_dist ? far_z : -max_dist;
    // Corner order of the cube: (-1,1,-1), (-1,1,1), (1,1,-1), (1,1,1), then the same with y = -1.
    const double cube[8][3] = {{-1, 1, -1},  {-1, 1, 1},  {1, 1, -1},  {1, 1, 1},
                               {-1, -1, -1}, {-1, -1, 1}, {1, -1, -1}, {1, -1, 1}};
    double world[8][4];
    if (!is_ortho) {
        double inv_proj[16];
        if (!invertMatrix(inv_proj, proj))
            return false;
        for (int i = 0; i < 8; ++i) {
            const double corner[4] = {cube[i][0], cube[i][1], cube[i][2], 1};
            double eye[4];
            transform(eye, inv_proj, corner);
            if (eye[3] != 0)
                for (int k = 0; k < 4; ++k)
                    eye[k] /= eye[3];
            if (eye[2] < -max_dist) {
                const float factor = static_cast<float>(-max_dist / eye[2]);
                for (int k = 0; k < 3; ++k)
                    eye[k] *= factor;
            }
            eye[3] = 1;
            transform(world[i], inv_mv, eye);
        }
    } else {
        for (int i = 0; i < 8; ++i) {
            const double eye[4] = {cube[i][0] < 0 ? o_left : o_right, cube[i][1] > 0 ? o_top : o_bottom,
                                   cube[i][2] < 0 ? -near_z : -far_limit, 1};
            transform(world[i], inv_mv, eye);
        }
    }
    const int edges[12][2] = {{0, 2}, {4, 6}, {0, 4}, {2, 6}, {1, 3}, {5, 7},
                              {1, 5}, {3, 7}, {0, 1}, {2, 3}, {4, 5}, {6, 7}};
    for (const auto& edge : edges)
        accum_segment(y_low, y_high, world[edge[0]], world[edge[1]], box_min, box_max);
    return box_min[0] <= box_max[0];
}

void xcam_class::mtr_to_pix(const double* point, double* pix)
{
    const double p[4] = {point[0], point[1], point[2], 1};
    double eye[4], clip[4];
    transform(eye, mv, p);
    transform(clip, proj, eye);
    double x = clip[0], y = clip[1];
    if (clip[3] != 0) {
        x /= clip[3];
        y /= clip[3];
    }
    float viewport[4] = {0, 0, 0, 0};
    glGetFloatv(GL_VIEWPORT, viewport);
    pix[0] = ((x * 0.5 + 0.5) * viewport[2] + viewport[0] - mnw.off_x) / mnw.scale;
    pix[1] = ((y * 0.5 + 0.5) * viewport[3] + viewport[1] - mnw.off_y) / mnw.scale;
}
