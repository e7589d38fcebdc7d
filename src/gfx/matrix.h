// matrix: free functions on 4x4 matrices of doubles in OpenGL's column-major layout
// (m[c*4 + r] is row r, column c; the translation is m[12..14]). The camera builds its
// projection and modelview with them. Angles are degrees.
// Invariant: outputs of multMatrices and transposeMatrix must not alias their inputs.
#pragma once

extern double gIdentity[16];

constexpr double DEGREES_TO_RADIANS = 0.017453292519943295;

void setIdentityMatrix(double* m);
void copyMatrix(double* dst, const double* src);
void transposeMatrix(double* dst, const double* src);
void addMatrices(double* dst, const double* a, const double* b);
void multMatrices(double* dst, const double* a, const double* b);
// 1 and dst = src^-1, or 0 for a singular matrix (an exactly zero pivot) with dst untouched.
[[nodiscard]] int invertMatrix(double* dst, const double* src);

void buildFrustumMatrix(double* m, double left, double right, double bottom, double top, double near_dist,
                        double far_dist);
void buildPerspectiveMatrix(double* m, double fovy, double aspect, double near_dist, double far_dist);
void buildOrthoMatrix(double* m, double left, double right, double bottom, double top, double near_dist,
                      double far_dist);
void buildLookAtMatrix(double* m, double eye_x, double eye_y, double eye_z, double at_x, double at_y, double at_z,
                       double up_x, double up_y, double up_z);
void buildRotation(double* m, double angle, double x, double y, double z);
// m := m x translation, in place.
void applyTranslation(double* m, double x, double y, double z);
// m := m x rotation, in place.
void applyRotation(double* m, double angle, double x, double y, double z);
void vec3_assign(double* v, double x, double y, double z);
// v at unit length; a zero vector stays zero.
void vec3_normalise(double* v);
// out = a x b; out may be a or b.
void vec3_cross(double* out, const double* a, const double* b);
void printMatrix(const char* label, const double* m);

// Grows the box by the part of segment p-q whose height lies in y_low..y_high.
void accum_segment(double y_low, double y_high, const double* p, const double* q, double* box_min, double* box_max);
