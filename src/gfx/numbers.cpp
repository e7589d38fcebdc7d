#include "gfx/numbers.h"

#include <GL/gl.h>

#include <cmath>
#include <limits>

#include "core/alert.h"
#include "core/mnw.h"
#include "gfx/text.h"

namespace {

constexpr int MONO_SPACED_LINE = 431;
// The widest field ever drawn; wider fields show their lowest cells only.
constexpr int MAX_CELLS = 11;
// Values whose scaled magnitude is at most this show as zero and get no sign.
constexpr float SIGN_THRESHOLD = 0.1f;
// The mantissa of the exponent form keeps three digits.
constexpr float MANTISSA_LIMIT = 999;

// Integer digit count of s, never above 10, by the thresholds the fields were designed with.
int integer_digits(float s)
{
    const float limits[] = {9.f, 99.f, 999.f, 9999.f, 99999.f, 999999.f, 9999999.f, 100000000.f, 1000000000.f};
    int n = 1;
    for (float limit : limits)
        if (s > limit)
            n += 1;
    return n;
}

// The digit of r at 10^k, or 0 when r / 10^k does not fit an int (the cell then shows '0').
int digit_at(double r, int k)
{
    const double q = r / std::pow(10.0, k);
    if (!(q > static_cast<double>(std::numeric_limits<int>::min()) - 1.0 &&
          q < static_cast<double>(std::numeric_limits<int>::max()) + 1.0))
        return 0;
    const int d = static_cast<int>(q) % 10;
    return d >= 0 && d <= 9 ? d : 0;
}

// Numbers only use the fixed-advance charsets, whose cells OGL_char maps alike.
void glyph(float x, float y, char c, const float* cell)
{
    OGL_char(x, y, cell[0], cell[1], cell[2], cell[3], c, charset_UI_fixed_6);
}

}  // namespace

void OGL_number(int colour, float x, float y, float value, int digits, int decimals, int charset)
{
    if (charset != charset_UI_fixed_6 && charset != charset_UI_fixed_10) {
        __MACIBM_alert(0, "Numbers must be mono-spaced!",
                       "This is because we increment by a constant step size for each digit.", "", "", ALERT_FATAL,
                       OGL_TEXT_SOURCE, MONO_SPACED_LINE);
        return;
    }
    float cell[4] = {0, 0, 0, 0};  // s0, t0, width, height
    const float adv = static_cast<float>(OGL_strtex(charset, colour, &cell[0], &cell[1], &cell[2], &cell[3]));
    const float x0 = std::round(x + mnw.off_x);
    const float y0 = std::round(y + mnw.off_y) - OGL_CELL_DROP;
    glBegin(GL_QUADS);

    const float a = std::fabs(value);
    const float p = static_cast<float>(std::pow(10.0, decimals));
    const float s = a * p;
    const bool finite = std::isfinite(s);
    const int n = finite ? integer_digits(s) : 1;
    float pen = x0 - adv;

    if (value < 0 && s > SIGN_THRESHOLD)
        glyph(pen + 1, y0, '-', cell);

    if (n <= digits || !finite) {
        const int integer_cells = digits - decimals;
        const double r = static_cast<double>(s) + 0.5;
        if (decimals > 0)
            glyph(pen + (integer_cells + 0.5f) * adv, y0, '.', cell);
        for (int group = 3; group <= 9; group += 3)
            if (integer_cells > group)
                glyph(pen + (integer_cells - group + 0.5f) * adv, y0, ',', cell);
        const int cells = digits < MAX_CELLS ? digits : MAX_CELLS;
        for (int k = cells - 1; k >= 0; --k) {
            pen += adv;
            glyph(pen, y0, static_cast<char>('0' + (finite ? digit_at(r, k) : 0)), cell);
        }
    } else {
        int e = 2;
        float m = a;
        while (m >= MANTISSA_LIMIT) {
            e += 1;
            m /= 10;
        }
        const int M = static_cast<int>(std::round(m));
        glyph(pen + 1.5f * adv + 2, y0 - 1, '.', cell);
        glyph(pen + adv, y0, static_cast<char>('0' + (M / 100) % 10), cell);
        glyph(pen + 2 * adv, y0, static_cast<char>('0' + (M / 10) % 10), cell);
        glyph(pen + 3 * adv, y0, static_cast<char>('0' + M % 10), cell);
        glyph(pen + 4 * adv, y0, 'x', cell);
        glyph(pen + 5 * adv, y0, e <= 9 ? static_cast<char>('0' + e) : '0', cell);
    }
    glEnd();
}
