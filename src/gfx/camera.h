// camera: `xcam`, the program's copy of the OpenGL projection and modelview. The frame set-up
// builds an orthographic or perspective projection and an identity modelview through it and
// loads both into OpenGL; queries derive view vectors, volume bounds and pixel positions.
// Invariant: matrices are 16 doubles, column-major; `changed` is set by every matrix change.
#pragma once

#include <cstdint>

class xcam_class {
public:
    xcam_class();
    // Copies other's whole record; null initialises nothing.
    explicit xcam_class(xcam_class* other);
    xcam_class(const xcam_class&) = default;
    xcam_class& operator=(const xcam_class&) = default;

    void SetupOrtho(double left, double right, double bottom, double top, double near_dist, double far_dist);
    void SetupFrustum(double left, double right, double bottom, double top, double near_dist, double far_dist);
    void SetupPerspective(double fovy, double aspect, double near_dist, double far_dist);
    // Pulls the working far plane in (never beyond the real one).
    void SetFakeFarClippingPlane(double dist);
    void ResetFakeFarClippingPlane();

    void Identity();
    void Translate(double x, double y, double z);
    void Rotate(double angle, double x, double y, double z);
    void LookAtPtFromPt(double eye_x, double eye_y, double eye_z, double at_x, double at_y, double at_z, double up_x,
                        double up_y, double up_z);
    void LookAtPtFromDir(double x, double y, double z, double heading, double pitch, double dist);
    // Views other's volume from outside along dir; leaves this camera unchanged when other's
    // matrices cannot be inverted.
    void LookAtCamera(xcam_class* other, double* dir, double dist);

    void CalcUp(double* up);
    void CalcDirection(double* dir);
    void CalcRight(double* right);
    void CalcBillboardGround(float* right, float* up);
    void CalcBillboardCamera(float* right, float* up);
    // 0 for an orthographic camera (outputs untouched), else 1 with each non-null output written.
    int GetFOVHalfCosines(float* horizontal, float* vertical);
    // World box of the view volume cut at max_dist within the height band; false when nothing of
    // the volume lies in the band or the matrices are singular (box then at +-9.9e9).
    bool GetFrustumBounds(double max_dist, double y_low, double y_high, double* box_min, double* box_max);
    // Window position of a world point in 2-D drawing units (reads the viewport from OpenGL).
    void mtr_to_pix(const double* point, double* pix);

    int32_t is_ortho;
    double near_z;
    double far_z;
    double fake_far_z;
    double n_top[3];
    double n_left[3];
    double n_right[3];
    double n_bottom[3];
    double o_top, o_left, o_right, o_bottom;
    int32_t changed;
    int32_t reread_mv;
    double proj[16];
    double mv[16];

private:
    void fetch_modelview_if_stale();
};

extern xcam_class xcam;
