// Helpers for the widget tests: a real window with the 1024 x 768 screen set up as start-up leaves it,
// the hook tables with the real widgets and the application calls below, and an atlas whose texels
// name their own coordinates.
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "support/alert_recorder.h"
#include "support/gl_window.h"

namespace widget_test {

// What a pixel of the coordinate atlas shows: the texel (s, t) it was drawn from, or none.
struct texel {
    int s = -1, t = -1;
    bool drawn() const { return s >= 0; }
    bool operator==(const texel&) const = default;
};
std::ostream& operator<<(std::ostream& out, const texel& t);

// A coordinate of a probe that matches any drawn texel.
constexpr int ANY = -2;
// A pixel of the back buffer and the texel it must show: {} for nothing drawn there.
struct texel_probe {
    int x, y;
    texel shows;
};

// Loads a 512 x 512 atlas as texture 363 whose every texel is opaque and encodes its coordinates:
// red = s mod 256, green = t mod 256, blue = 0x80 + s / 256 + 2 (t / 256).
void load_coordinate_atlas();
// Loads the program's own four images, as start-up does.
void load_real_art();

// The shared alert recorder: a fatal alert is recorded and thrown as fatal_alert, so that the widget stops
// as the real alert would stop it.
using test::alert_recorder;
using test::expect_fatal;
using test::fatal_alert;
using test::recorded_alert;

// The entries of the platform lists the installer shows.
inline const std::string SYSTEMS = "Macintosh-Windows-Linux Generic x86-Linux Pentium 3-Linux Athlon XP";

// Menu codes the shell handed to the application.
extern std::vector<int> picked_menu_codes;

// One window per suite; each test starts from a clean screen, input and menu state.
class widget_gl_test : public test::gl_test {
public:
    // The window (and so its textures and the render-state cache) lives for the whole program: the
    // texture manager and the state cache belong to one context, as they do in the program.
    static void TearDownTestSuite() { }

protected:
    // Set before SetUp to draw with the program's own art instead of the coordinate atlas; one binary
    // uses one or the other throughout.
    static inline bool real_art = false;

    void SetUp() override;

    // Decodes the back-buffer pixel at (x, y) in window pixels (origin bottom-left).
    static texel texel_at(int x, int y);
    static void expect_texels(const std::vector<texel_probe>& probes, const std::string& what = "");
    // After win().reset_2d() inside a test: tells the render-state cache what reset_2d switched off.
    static void resync_state();
    // Input of this frame, in box coordinates.
    static void mouse(float x, float y, int click = 0);
    // Moves the real pointer to (x, y) of the whole screen and runs the shell's frames until the
    // window system has reported it (boundedly); false when it never arrived.
    static bool move_pointer(int x, int y);
    // Pushes a real press and release at (x, y) of the whole screen into the event queue.
    static void press_at(int x, int y);
};

}  // namespace widget_test
