// SDL key, button, wheel and window events read back as event records through the real queue.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include "platform/events.h"
#include "platform/keymap.h"

namespace {

class EventQueue : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        ASSERT_EQ(SDL_Init(SDL_INIT_EVENTS), 0) << SDL_GetError();
    }
    static void TearDownTestSuite() { SDL_Quit(); }
    void SetUp() override { plat::flush_events(); }

    plat::event_record next()
    {
        plat::event_record e;
        EXPECT_TRUE(plat::poll_event(&e));
        return e;
    }
};

TEST(KeyMap, CodesFollowKeyPositions)
{
    EXPECT_EQ(plat::mac_key_code(SDL_SCANCODE_A), 0x00);
    EXPECT_EQ(plat::mac_key_code(SDL_SCANCODE_B), 0x0B);
    EXPECT_EQ(plat::mac_key_code(SDL_SCANCODE_M), 0x2E);
    EXPECT_EQ(plat::mac_key_code(SDL_SCANCODE_5), 0x17);
    EXPECT_EQ(plat::mac_key_code(SDL_SCANCODE_6), 0x16);
    EXPECT_EQ(plat::mac_key_code(SDL_SCANCODE_GRAVE), 0x32);
    EXPECT_EQ(plat::mac_key_code(SDL_SCANCODE_RETURN), 0x24);
    EXPECT_EQ(plat::mac_key_code(SDL_SCANCODE_BACKSPACE), 0x33);
    EXPECT_EQ(plat::mac_key_code(SDL_SCANCODE_DELETE), 0x75);
    EXPECT_EQ(plat::mac_key_code(SDL_SCANCODE_LEFT), 0x7B);
    EXPECT_EQ(plat::mac_key_code(SDL_SCANCODE_UP), 0x7E);
    EXPECT_EQ(plat::mac_key_code(SDL_SCANCODE_KP_7), 0x59);
    EXPECT_EQ(plat::mac_key_code(SDL_SCANCODE_KP_8), 0x5B);
    EXPECT_EQ(plat::mac_key_code(SDL_SCANCODE_KP_ENTER), 0x4C);
    EXPECT_EQ(plat::mac_key_code(SDL_SCANCODE_F1), 0x7A);
    EXPECT_EQ(plat::mac_key_code(SDL_SCANCODE_F5), 0x60);
    EXPECT_EQ(plat::mac_key_code(SDL_SCANCODE_F12), 0x6F);
    EXPECT_EQ(plat::mac_key_code(SDL_SCANCODE_F13), -1);
    EXPECT_EQ(plat::mac_key_code(SDL_SCANCODE_LSHIFT), -1);
}

TEST(KeyMap, CharactersFollowTheUsLayout)
{
    EXPECT_EQ(plat::key_character(SDL_SCANCODE_A, 0), 'a');
    EXPECT_EQ(plat::key_character(SDL_SCANCODE_A, plat::MOD_SHIFT), 'A');
    EXPECT_EQ(plat::key_character(SDL_SCANCODE_A, plat::MOD_CAPS_LOCK), 'A');
    EXPECT_EQ(plat::key_character(SDL_SCANCODE_A, plat::MOD_CAPS_LOCK | plat::MOD_SHIFT), 'a');
    // Caps Lock leaves digits and punctuation alone; Shift does not.
    EXPECT_EQ(plat::key_character(SDL_SCANCODE_1, plat::MOD_CAPS_LOCK), '1');
    EXPECT_EQ(plat::key_character(SDL_SCANCODE_1, plat::MOD_SHIFT), '!');
    EXPECT_EQ(plat::key_character(SDL_SCANCODE_SLASH, plat::MOD_SHIFT), '?');
    EXPECT_EQ(plat::key_character(SDL_SCANCODE_SPACE, 0), ' ');
    EXPECT_EQ(plat::key_character(SDL_SCANCODE_RETURN, 0), 13);
    EXPECT_EQ(plat::key_character(SDL_SCANCODE_KP_ENTER, 0), 3);
    EXPECT_EQ(plat::key_character(SDL_SCANCODE_BACKSPACE, 0), 8);
    EXPECT_EQ(plat::key_character(SDL_SCANCODE_ESCAPE, 0), 27);
    EXPECT_EQ(plat::key_character(SDL_SCANCODE_DELETE, 0), 127);
    EXPECT_EQ(plat::key_character(SDL_SCANCODE_HOME, 0), 1);
    EXPECT_EQ(plat::key_character(SDL_SCANCODE_PAGEDOWN, 0), 12);
    EXPECT_EQ(plat::key_character(SDL_SCANCODE_LEFT, 0), 28);
    EXPECT_EQ(plat::key_character(SDL_SCANCODE_DOWN, 0), 31);
    EXPECT_EQ(plat::key_character(SDL_SCANCODE_F7, 0), 16);
    EXPECT_EQ(plat::key_character(SDL_SCANCODE_KP_3, plat::MOD_SHIFT), '3');
    EXPECT_EQ(plat::key_character(SDL_SCANCODE_F13, 0), 0);
}

TEST(KeyMap, ModifierBits)
{
    EXPECT_EQ(plat::modifier_bits(KMOD_NONE), 0);
    EXPECT_EQ(plat::modifier_bits(KMOD_LGUI), 0x0100);
    EXPECT_EQ(plat::modifier_bits(KMOD_RSHIFT), 0x0200);
    EXPECT_EQ(plat::modifier_bits(KMOD_CAPS), 0x0400);
    EXPECT_EQ(plat::modifier_bits(KMOD_LALT), 0x0800);
    EXPECT_EQ(plat::modifier_bits(KMOD_RCTRL), 0x1000);
    EXPECT_EQ(plat::modifier_bits(KMOD_LCTRL | KMOD_LSHIFT), 0x1200);
}

TEST_F(EventQueue, KeysBecomeKindsWithCharacterAndCode)
{
    plat::push_key_event(SDL_SCANCODE_G, true, false, KMOD_LSHIFT);
    plat::push_key_event(SDL_SCANCODE_G, true, true, KMOD_LSHIFT);
    plat::push_key_event(SDL_SCANCODE_G, false, false, KMOD_NONE);
    plat::push_key_event(SDL_SCANCODE_F5, true, false, KMOD_LCTRL);

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

    plat::event_record none;
    EXPECT_FALSE(plat::poll_event(&none));
}

TEST_F(EventQueue, KeysWithoutCodeGiveNullRecords)
{
    plat::push_key_event(SDL_SCANCODE_LSHIFT, true, false, KMOD_LSHIFT);
    plat::event_record e = next();
    EXPECT_EQ(e.what, plat::EVENT_NULL);
}

TEST_F(EventQueue, LeftButtonOnlyWithItsPosition)
{
    plat::push_button_event(300, 200, true);
    plat::push_button_event(310, 205, false);
    SDL_Event right{};
    right.type = SDL_MOUSEBUTTONDOWN;
    right.button.button = SDL_BUTTON_RIGHT;
    SDL_PushEvent(&right);
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    SDL_PushEvent(&motion);

    plat::event_record down = next();
    EXPECT_EQ(down.what, plat::EVENT_MOUSE_DOWN);
    EXPECT_EQ(down.where_h, 300);
    EXPECT_EQ(down.where_v, 200);
    plat::event_record up = next();
    EXPECT_EQ(up.what, plat::EVENT_MOUSE_UP);
    EXPECT_EQ(up.where_h, 310);
    EXPECT_EQ(next().what, plat::EVENT_NULL);
    EXPECT_EQ(next().what, plat::EVENT_NULL);
}

TEST_F(EventQueue, WindowEventsAndQuit)
{
    SDL_Event w{};
    w.type = SDL_WINDOWEVENT;
    w.window.event = SDL_WINDOWEVENT_EXPOSED;
    SDL_PushEvent(&w);
    w.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
    SDL_PushEvent(&w);
    w.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    SDL_PushEvent(&w);
    SDL_Event q{};
    q.type = SDL_QUIT;
    SDL_PushEvent(&q);

    EXPECT_EQ(next().what, plat::EVENT_UPDATE);
    plat::event_record activate = next();
    EXPECT_EQ(activate.what, plat::EVENT_ACTIVATE);
    EXPECT_EQ(activate.modifiers & plat::MOD_ACTIVE, plat::MOD_ACTIVE);
    EXPECT_EQ(next().what, plat::EVENT_OS);  // focus gained also ends the pump
    EXPECT_EQ(next().what, plat::EVENT_OS);  // focus lost
    EXPECT_EQ(next().what, plat::EVENT_HIGH_LEVEL);
}

TEST_F(EventQueue, WheelStepsGoToTheHandlerTurnedWhenFlipped)
{
    int total = 0, calls = 0;
    plat::set_wheel_handler([&](int steps) {
        total += steps;
        calls++;
    });
    plat::push_wheel_event(2, false);
    plat::push_wheel_event(-1, false);
    plat::push_wheel_event(3, true);
    for (int i = 0; i < 3; i++)
        EXPECT_EQ(next().what, plat::EVENT_NULL);
    plat::set_wheel_handler(nullptr);
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(total, 2 - 1 - 3);
}

TEST_F(EventQueue, WaitReturnsAQueuedEventAndTimesOutWhenEmpty)
{
    plat::push_button_event(1, 2, true);
    plat::event_record e;
    ASSERT_TRUE(plat::wait_event(&e, 1000));
    EXPECT_EQ(e.what, plat::EVENT_MOUSE_DOWN);
    EXPECT_FALSE(plat::wait_event(&e, 1));
}

}
