// SDL key, button, wheel and window events read back as event records through the real queue.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <tuple>

#include "platform/events.h"
#include "platform/keymap.h"

namespace {

TEST(KeyMap, CodesFollowKeyPositionsAndCharactersTheUsLayout)
{
    struct row {
        SDL_Scancode key;
        int modifiers, code, character;
    };
    const int SHIFT = plat::MOD_SHIFT, CAPS = plat::MOD_CAPS_LOCK;
    // Caps Lock shifts letters only; Shift shifts digits and punctuation too. The end-to-end run types
    // the keys missing here (space, Return, BackSpace, '?', F1, F5) through the real keyboard.
    const row rows[] = {
        {SDL_SCANCODE_A, 0, 0x00, 'a'},     {SDL_SCANCODE_A, SHIFT, 0x00, 'A'},
        {SDL_SCANCODE_A, CAPS, 0x00, 'A'},  {SDL_SCANCODE_A, CAPS | SHIFT, 0x00, 'a'},
        {SDL_SCANCODE_B, 0, 0x0B, 'b'},     {SDL_SCANCODE_M, 0, 0x2E, 'm'},
        {SDL_SCANCODE_5, 0, 0x17, '5'},     {SDL_SCANCODE_6, 0, 0x16, '6'},
        {SDL_SCANCODE_1, CAPS, 0x12, '1'},  {SDL_SCANCODE_1, SHIFT, 0x12, '!'},
        {SDL_SCANCODE_GRAVE, 0, 0x32, '`'}, {SDL_SCANCODE_KP_ENTER, 0, 0x4C, 3},
        {SDL_SCANCODE_ESCAPE, 0, 0x35, 27}, {SDL_SCANCODE_DELETE, 0, 0x75, 127},
        {SDL_SCANCODE_HOME, 0, 0x73, 1},    {SDL_SCANCODE_PAGEDOWN, 0, 0x79, 12},
        {SDL_SCANCODE_LEFT, 0, 0x7B, 28},   {SDL_SCANCODE_UP, 0, 0x7E, 30},
        {SDL_SCANCODE_DOWN, 0, 0x7D, 31},   {SDL_SCANCODE_KP_7, 0, 0x59, '7'},
        {SDL_SCANCODE_KP_8, 0, 0x5B, '8'},  {SDL_SCANCODE_KP_3, SHIFT, 0x55, '3'},
        {SDL_SCANCODE_F7, 0, 0x62, 16},     {SDL_SCANCODE_F12, 0, 0x6F, 16},
        {SDL_SCANCODE_F13, 0, -1, 0},       {SDL_SCANCODE_LSHIFT, 0, -1, 0},
    };
    for (const row& r : rows) {
        EXPECT_EQ(std::pair(plat::mac_key_code(r.key), plat::key_character(r.key, r.modifiers)),
                  std::pair(r.code, r.character))
            << SDL_GetScancodeName(r.key) << " " << r.modifiers;
    }
    // clang-format off
    const std::pair<int, int> modifiers[] = {{KMOD_NONE, 0}, {KMOD_LGUI, 0x0100}, {KMOD_RSHIFT, 0x0200},
        {KMOD_CAPS, 0x0400}, {KMOD_LALT, 0x0800}, {KMOD_RCTRL, 0x1000}, {KMOD_LCTRL | KMOD_LSHIFT, 0x1200}};
    // clang-format on
    for (auto [sdl, bits] : modifiers)
        EXPECT_EQ(plat::modifier_bits(sdl), bits) << sdl;
}

class EventQueue : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        ASSERT_EQ(SDL_Init(SDL_INIT_EVENTS), 0) << SDL_GetError();
    }
    static void TearDownTestSuite() { SDL_Quit(); }
    void SetUp() override { plat::flush_events(); }

    static void push(Uint32 type, Uint8 window_event = 0, Uint8 button = 0)
    {
        SDL_Event e{};
        e.type = type;
        e.window.event = window_event;
        if (type == SDL_MOUSEBUTTONDOWN)
            e.button.button = button;
        SDL_PushEvent(&e);
    }
};

// Each event pushed gives one record; focus gained, which also ends the pump, gives two.
TEST_F(EventQueue, EachEventBecomesItsRecordAndTheWheelGoesToItsHandler)
{
    using namespace plat;
    int total = 0, calls = 0;
    set_wheel_handler([&](int steps) {
        total += steps;
        calls++;
    });
    struct row {
        void (*push)();                                   // null: the event before gives a second record
        std::tuple<int, uint32_t, int, int, int> record;  // (what, code * 256 + character, modifiers, h, v)
    };
    const std::tuple<int, uint32_t, int, int, int> nothing{EVENT_NULL, 0, 0, 0, 0};
    // clang-format off
    const row rows[] = {
        {[] { push_key_event(SDL_SCANCODE_G, true, false, KMOD_LSHIFT); }, {EVENT_KEY_DOWN, 0x0547, MOD_SHIFT, 0, 0}},
        {[] { push_key_event(SDL_SCANCODE_G, true, true, KMOD_LSHIFT); }, {EVENT_AUTO_KEY, 0x0547, MOD_SHIFT, 0, 0}},
        {[] { push_key_event(SDL_SCANCODE_G, false, false, KMOD_NONE); }, {EVENT_KEY_UP, 0x0567, 0, 0, 0}},
        {[] { push_key_event(SDL_SCANCODE_F5, true, false, KMOD_LCTRL); }, {EVENT_KEY_DOWN, 0x6010, MOD_CONTROL, 0, 0}},
        {[] { push_key_event(SDL_SCANCODE_LSHIFT, true, false, KMOD_LSHIFT); }, nothing},  // a key without a code
        {[] { push_button_event(300, 200, true); }, {EVENT_MOUSE_DOWN, 0, 0, 300, 200}},
        {[] { push_button_event(310, 205, false); }, {EVENT_MOUSE_UP, 0, 0, 310, 205}},
        {[] { push(SDL_MOUSEBUTTONDOWN, 0, SDL_BUTTON_RIGHT); }, nothing},
        {[] { push(SDL_MOUSEMOTION); }, nothing},
        {[] { push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_EXPOSED); }, {EVENT_UPDATE, 0, 0, 0, 0}},
        {[] { push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_GAINED); }, {EVENT_ACTIVATE, 0, MOD_ACTIVE, 0, 0}},
        {nullptr, {EVENT_OS, 0, 0, 0, 0}},
        {[] { push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_LOST); }, {EVENT_OS, 0, 0, 0, 0}},
        {[] { push(SDL_QUIT); }, {EVENT_HIGH_LEVEL, 0, 0, 0, 0}},
        {[] { push_wheel_event(2, false); }, nothing},  // the wheel goes to its handler
        {[] { push_wheel_event(-1, false); }, nothing},
        {[] { push_wheel_event(3, true); }, nothing},
    };
    // clang-format on
    for (const row& r : rows)
        if (r.push)
            r.push();
    event_record e;
    for (const row& r : rows) {
        ASSERT_TRUE(poll_event(&e));
        EXPECT_EQ(std::tuple(e.what, e.message, e.modifiers, e.where_h, e.where_v), r.record) << std::get<0>(r.record);
    }
    EXPECT_FALSE(poll_event(&e));
    set_wheel_handler(nullptr);
    EXPECT_EQ(std::pair(calls, total), std::pair(3, 2 - 1 - 3)) << "turned round when flipped";

    push_button_event(1, 2, true);
    ASSERT_TRUE(wait_event(&e, 1000));
    EXPECT_EQ(e.what, EVENT_MOUSE_DOWN);
    EXPECT_FALSE(wait_event(&e, 1)) << "an empty queue times out";
}

}
