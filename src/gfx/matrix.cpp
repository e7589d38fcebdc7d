#include "gfx/matrix.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>

double gIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

namespace {

// Below this length an arbitrary rotation axis is treated as no axis at all.
constexpr double SHORTEST_AXIS = 0.0001;

void accumulate(const float* point, double* box_min, double* box_max)
{
    for (int i = 0; i < 3; ++i) {
        const double v = point[i];
        const double lo = static_cast<float>(box_min[i]);
        const double hi = static_cast<float>(box_max[i]);
        box_min[i] = v < lo ? v : lo;
        box_max[i] = v > hi ? v : hi;
    }
}

float limit_between(float v, float a, float b)
{
    const float lo = a < b ? a : b;
    const float hi = a < b ? b : a;
    return v < lo ? lo : (v > hi ? hi : v);
}

// The segment's point at height h, in single precision as the band clipping always was.
void point_at_height(const float* a, const float* b, float h, float* out)
{
    out[1] = h;
    if (a[1] == b[1]) {
        out[0] = (a[0] + b[0]) * 0.5f;
        out[2] = (a[2] + b[2]) * 0.5f;
        return;
    }
    const float t = h - a[1];
    const float dy = b[1] - a[1];
    out[0] = limit_between(a[0] + (b[0] - a[0]) / dy * t, a[0], b[0]);
    out[2] = limit_between(a[2] + (b[2] - a[2]) / dy * t, a[2], b[2]);
}

}  // namespace

void setIdentityMatrix(double* m)
{
    std::memcpy(m, gIdentity, sizeof(gIdentity));
}

void copyMatrix(double* dst, const double* src)
{
    std::memcpy(dst, src, 16 * sizeof(double));
}

void transposeMatrix(double* dst, const double* src)
{
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            dst[c * 4 + r] = src[r * 4 + c];
}

void addMatrices(double* dst, const double* a, const double* b)
{
    for (int i = 0; i < 16; ++i)
        dst[i] = a[i] + b[i];
}

void multMatrices(double* dst, const double* a, const double* b)
{
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) {
            double sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += a[k * 4 + r] * b[c * 4 + k];
            dst[c * 4 + r] = sum;
        }
}

int invertMatrix(double* dst, const double* src)
{
    double rows[4][8];
    double* r[4];
    for (int i = 0; i < 4; ++i) {
        for (int c = 0; c < 4; ++c)
            rows[i][c] = src[c * 4 + i];
        for (int c = 0; c < 4; ++c)
            rows[i][4 + c] = i == c ? 1.0 : 0.0;
        r[i] = rows[i];
    }

    for (int col = 0; col < 3; ++col) {
        // One bubbling pass from the bottom brings a largest magnitude to the pivot row;
        // equal magnitudes keep their order.
        for (int i = 3; i > col; --i)
            if (std::fabs(r[i][col]) > std::fabs(r[i - 1][col]))
                std::swap(r[i], r[i - 1]);
        const double pivot = r[col][col];
        if (pivot == 0)
            return 0;
        for (int i = col + 1; i < 4; ++i) {
            const double factor = r[i][col] / pivot;
            for (int c = col + 1; c < 4; ++c)
                r[i][c] -= factor * r[col][c];
            for (int c = 4; c < 8; ++c)
                if (r[col][c] != 0)
                    r[i][c] -= factor * r[col][c];
            r[i][col] = 0;
        }
    }
    if (r[3][3] == 0)
        return 0;

    for (int i = 3; i >= 0; --i) {
        const double scale = 1.0 / r[i][i];
        for (int c = 0; c < 8; ++c)
            r[i][c] *= scale;
        for (int j = i - 1; j >= 0; --j) {
            const double factor = r[j][i];
            for (int c = 0; c < 8; ++c)
                r[j][c] -= factor * r[i][c];
        }
    }
    for (int row = 0; row < 4; ++row)
        for (int c = 0; c < 4; ++c)
            dst[c * 4 + row] = r[row][4 + c];
    return 1;
}

void buildFrustumMatrix(double* m, double l, double r, double b, double t, double n, double f)
{
    std::memset(m, 0, 16 * sizeof(double));
    m[0] = 2 * n / (r - l);
    m[5] = 2 * n / (t - b);
    m[8] = (r + l) / (r - l);
    m[9] = (t + b) / (t - b);
    m[10] = -(f + n) / (f - n);
    m[11] = -1;
    m[14] = -2 * f * n / (f - n);
}

void buildPerspectiveMatrix(double* m, double fovy, double aspect, double n, double f)
{
    const double h = n * std::tan(fovy * M_PI / 360.0);
    buildFrustumMatrix(m, -h * aspect, h * aspect, -h, h, n, f);
}

void buildOrthoMatrix(double* m, double l, double r, double b, double t, double n, double f)
{
    std::memset(m, 0, 16 * sizeof(double));
    m[0] = 2 / (r - l);
    m[5] = 2 / (t - b);
    m[10] = -2 / (f - n);
    m[12] = -(r + l) / (r - l);
    m[13] = -(t + b) / (t - b);
    m[14] = -(f + n) / (f - n);
    m[15] = 1;
}

void buildLookAtMatrix(double* m, double eye_x, double eye_y, double eye_z, double at_x, double at_y, double at_z,
                       double up_x, double up_y, double up_z)
{
    const double eye[3] = {eye_x, eye_y, eye_z};
    const double up[3] = {up_x, up_y, up_z};
    double z[3] = {eye_x - at_x, eye_y - at_y, eye_z - at_z};
    vec3_normalise(z);
    double x[3], y[3];
    vec3_cross(x, up, z);
    vec3_cross(y, z, x);
    vec3_normalise(x);
    vec3_normalise(y);
    for (int i = 0; i < 3; ++i) {
        m[i * 4 + 0] = x[i];
        m[i * 4 + 1] = y[i];
        m[i * 4 + 2] = z[i];
    }
    m[3] = m[7] = m[11] = 0;
    m[15] = 1;
    m[12] = -(x[0] * eye[0] + x[1] * eye[1] + x[2] * eye[2]);
    m[13] = -(y[0] * eye[0] + y[1] * eye[1] + y[2] * eye[2]);
    m[14] = -(z[0] * eye[0] + z[1] * eye[1] + z[2] * eye[2]);
}

void buildRotation(double* m, double angle, double x, double y, double z)
{
    const double s = std::sin(angle * DEGREES_TO_RADIANS);
    const double c = std::cos(angle * DEGREES_TO_RADIANS);
    setIdentityMatrix(m);
    // Single-axis rotations skip the square root and work for any axis length.
    if (x == 0 && y == 0 && z != 0) {
        m[0] = m[5] = c;
        m[1] = z > 0 ? s : -s;
        m[4] = -m[1];
        return;
    }
    if (x == 0 && z == 0 && y != 0) {
        m[0] = m[10] = c;
        m[8] = y > 0 ? s : -s;
        m[2] = -m[8];
        return;
    }
    if (y == 0 && z == 0 && x != 0) {
        m[5] = m[10] = c;
        m[6] = x > 0 ? s : -s;
        m[9] = -m[6];
        return;
    }
    const double len = std::sqrt(x * x + y * y + z * z);
    if (len <= SHORTEST_AXIS)
        return;
    x /= len;
    y /= len;
    z /= len;
    const double k = 1 - c;
    m[0] = x * x * k + c;
    m[4] = x * y * k - z * s;
    m[8] = x * z * k + y * s;
    m[1] = x * y * k + z * s;
    m[5] = y * y * k + c;
    m[9] = y * z * k - x * s;
    m[2] = x * z * k - y * s;
    m[6] = y * z * k + x * s;
    m[10] = z * z * k + c;
}

void applyTranslation(double* m, double x, double y, double z)
{
    for (int r = 0; r < 4; ++r)
        m[12 + r] = x * m[r] + y * m[4 + r] + z * m[8 + r] + m[12 + r];
}

void applyRotation(double* m, double angle, double x, double y, double z)
{
    double rotation[16], product[16];
    buildRotation(rotation, angle, x, y, z);
    multMatrices(product, m, rotation);
    copyMatrix(m, product);
}

void vec3_assign(double* v, double x, double y, double z)
{
    v[0] = x;
    v[1] = y;
    v[2] = z;
}

void vec3_normalise(double* v)
{
    const double len = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (len == 0)
        return;
    v[0] /= len;
    v[1] /= len;
    v[2] /= len;
}

void vec3_cross(double* out, const double* a, const double* b)
{
    const double x = a[1] * b[2] - a[2] * b[1];
    const double y = a[2] * b[0] - a[0] * b[2];
    const double z = a[0] * b[1] - a[1] * b[0];
    out[0] = x;
    out[1] = y;
    out[2] = z;
}

void printMatrix(const char* label, const double* m)
{
    std::puts(label);
    for (int r = 0; r < 4; ++r)
        std::printf(r < 3 ? " [ %f %f %f %f ]\n" : " [ %f %f %f %f ]\n\n", m[r], m[4 + r], m[8 + r], m[12 + r]);
}

void accum_segment(double y_low, double y_high, const double* p, const double* q, double* box_min, double* box_max)
{
    if (q[1] < p[1])
        std::swap(p, q);
    const float a[3] = {float(p[0]), float(p[1]), float(p[2])};
    const float b[3] = {float(q[0]), float(q[1]), float(q[2])};
    const float low = float(y_low), high = float(y_high);
    float point[3];

    if (p[1] == q[1]) {
        if (y_low <= p[1] && p[1] <= y_high) {
            accumulate(a, box_min, box_max);
            accumulate(b, box_min, box_max);
        }
        return;
    }
    if (y_low == y_high) {
        if (p[1] <= y_low && y_low <= q[1]) {
            point_at_height(a, b, low, point);
            accumulate(point, box_min, box_max);
        }
        return;
    }
    if (y_low <= p[1] && p[1] <= y_high)
        accumulate(a, box_min, box_max);
    if (y_low <= q[1] && q[1] <= y_high)
        accumulate(b, box_min, box_max);
    if (p[1] < y_low && y_low < q[1]) {
        point_at_height(a, b, low, point);
        accumulate(point, box_min, box_max);
    }
    if (p[1] < y_high && y_high < q[1]) {
        point_at_height(a, b, high, point);
        accumulate(point, box_min, box_max);
    }
}
