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
    // Caps Lock shifts letters only; Shift shifts digits and punctuation too.
    const row rows[] = {
        {SDL_SCANCODE_A, 0, 0x00, 'a'},         {SDL_SCANCODE_A, SHIFT, 0x00, 'A'},
        {SDL_SCANCODE_A, CAPS, 0x00, 'A'},      {SDL_SCANCODE_A, CAPS | SHIFT, 0x00, 'a'},
        {SDL_SCANCODE_B, 0, 0x0B, 'b'},         {SDL_SCANCODE_M, 0, 0x2E, 'm'},
        {SDL_SCANCODE_5, 0, 0x17, '5'},         {SDL_SCANCODE_6, 0, 0x16, '6'},
        {SDL_SCANCODE_1, CAPS, 0x12, '1'},      {SDL_SCANCODE_1, SHIFT, 0x12, '!'},
        {SDL_SCANCODE_SLASH, SHIFT, 0x2C, '?'}, {SDL_SCANCODE_GRAVE, 0, 0x32, '`'},
        {SDL_SCANCODE_SPACE, 0, 0x31, ' '},     {SDL_SCANCODE_RETURN, 0, 0x24, 13},
        {SDL_SCANCODE_KP_ENTER, 0, 0x4C, 3},    {SDL_SCANCODE_BACKSPACE, 0, 0x33, 8},
        {SDL_SCANCODE_ESCAPE, 0, 0x35, 27},     {SDL_SCANCODE_DELETE, 0, 0x75, 127},
        {SDL_SCANCODE_HOME, 0, 0x73, 1},        {SDL_SCANCODE_PAGEDOWN, 0, 0x79, 12},
        {SDL_SCANCODE_LEFT, 0, 0x7B, 28},       {SDL_SCANCODE_UP, 0, 0x7E, 30},
        {SDL_SCANCODE_DOWN, 0, 0x7D, 31},       {SDL_SCANCODE_KP_7, 0, 0x59, '7'},
        {SDL_SCANCODE_KP_8, 0, 0x5B, '8'},      {SDL_SCANCODE_KP_3, SHIFT, 0x55, '3'},
        {SDL_SCANCODE_F1, 0, 0x7A, 16},         {SDL_SCANCODE_F5, 0, 0x60, 16},
        {SDL_SCANCODE_F7, 0, 0x62, 16},         {SDL_SCANCODE_F12, 0, 0x6F, 16},
        {SDL_SCANCODE_F13, 0, -1, 0},           {SDL_SCANCODE_LSHIFT, 0, -1, 0},
    };
    for (const row& r : rows) {
        EXPECT_EQ(plat::mac_key_code(r.key), r.code) << SDL_GetScancodeName(r.key);
        EXPECT_EQ(plat::key_character(r.key, r.modifiers), r.character)
            << SDL_GetScancodeName(r.key) << " " << r.modifiers;
    }
    const std::pair<int, int> modifiers[] = {{KMOD_NONE, 0},
                                             {KMOD_LGUI, 0x0100},
                                             {KMOD_RSHIFT, 0x0200},
                                             {KMOD_CAPS, 0x0400},
                                             {KMOD_LALT, 0x0800},
                                             {KMOD_RCTRL, 0x1000},
                                             {KMOD_LCTRL | KMOD_LSHIFT, 0x1200}};
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

    static plat::event_record next()
    {
        plat::event_record e;
        EXPECT_TRUE(plat::poll_event(&e));
        return e;
    }
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

TEST_F(EventQueue, KeysBecomeKindsWithCharacterAndCode)
{
    plat::push_key_event(SDL_SCANCODE_G, true, false, KMOD_LSHIFT);
    plat::push_key_event(SDL_SCANCODE_G, true, true, KMOD_LSHIFT);
    plat::push_key_event(SDL_SCANCODE_G, false, false, KMOD_NONE);
    plat::push_key_event(SDL_SCANCODE_F5, true, false, KMOD_LCTRL);
    plat::push_key_event(SDL_SCANCODE_LSHIFT, true, false, KMOD_LSHIFT);

    plat::event_record down = next();
    EXPECT_EQ(down.what, plat::EVENT_KEY_DOWN);
    EXPECT_EQ(down.message, (0x05u << 8) | 'G');
    EXPECT_EQ(down.modifiers, plat::MOD_SHIFT);
    EXPECT_EQ(next().what, plat::EVENT_AUTO_KEY);
    plat::event_record up = next();
    EXPECT_EQ(up.what, plat::EVENT_KEY_UP);
    EXPECT_EQ(up.message, (0x05u << 8) | 'g');
    plat::event_record f5 = next();
    EXPECT_EQ(f5.message, (0x60u << 8) | 16u);
    EXPECT_EQ(f5.modifiers, plat::MOD_CONTROL);
    EXPECT_EQ(next().what, plat::EVENT_NULL) << "a key without a code";
    plat::event_record none;
    EXPECT_FALSE(plat::poll_event(&none));
}

TEST_F(EventQueue, ButtonsWindowEventsQuitAndTheWheel)
{
    int total = 0, calls = 0;
    plat::set_wheel_handler([&](int steps) {
        total += steps;
        calls++;
    });
    plat::push_button_event(300, 200, true);
    plat::push_button_event(310, 205, false);
    push(SDL_MOUSEBUTTONDOWN, 0, SDL_BUTTON_RIGHT);
    push(SDL_MOUSEMOTION);
    push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_EXPOSED);
    push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_GAINED);
    push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_LOST);
    push(SDL_QUIT);
    plat::push_wheel_event(2, false);
    plat::push_wheel_event(-1, false);
    plat::push_wheel_event(3, true);

    plat::event_record down = next();
    EXPECT_EQ(std::tuple(down.what, down.where_h, down.where_v), std::tuple(plat::EVENT_MOUSE_DOWN, 300, 200));
    plat::event_record up = next();
    EXPECT_EQ(std::tuple(up.what, up.where_h, up.where_v), std::tuple(plat::EVENT_MOUSE_UP, 310, 205));
    EXPECT_EQ(next().what, plat::EVENT_NULL) << "the right button";
    EXPECT_EQ(next().what, plat::EVENT_NULL) << "a motion";
    EXPECT_EQ(next().what, plat::EVENT_UPDATE);
    plat::event_record activate = next();
    EXPECT_EQ(activate.what, plat::EVENT_ACTIVATE);
    EXPECT_EQ(activate.modifiers & plat::MOD_ACTIVE, plat::MOD_ACTIVE);
    EXPECT_EQ(next().what, plat::EVENT_OS) << "focus gained also ends the pump";
    EXPECT_EQ(next().what, plat::EVENT_OS) << "focus lost";
    EXPECT_EQ(next().what, plat::EVENT_HIGH_LEVEL);
    for (int i = 0; i < 3; i++)
        EXPECT_EQ(next().what, plat::EVENT_NULL) << "the wheel goes to its handler";
    plat::set_wheel_handler(nullptr);
    EXPECT_EQ(std::pair(calls, total), std::pair(3, 2 - 1 - 3)) << "turned round when flipped";

    plat::push_button_event(1, 2, true);
    plat::event_record e;
    ASSERT_TRUE(plat::wait_event(&e, 1000));
    EXPECT_EQ(e.what, plat::EVENT_MOUSE_DOWN);
    EXPECT_FALSE(plat::wait_event(&e, 1)) << "an empty queue times out";
}

}
