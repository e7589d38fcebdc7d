// mnw: the window, screen, input and display-preference record shared by every layer.
// The shell writes it each frame (mouse, buttons, keys, current box); widgets and graphics read it.
// Invariant: one zero-filled global with no constructor, so it is valid before any start-up code runs.
#pragma once

#include <string>

// Window ids of the program's own boxes; 0 is the main screen, -1 means no window started yet.
constexpr int WIN_NONE = -1;
constexpr int WIN_MAIN = 0;

struct mnw_class {
    int _sec_mon_inuse;                        // preference: a second monitor is used
    int sec_win_open;                          // a second window is open (nothing opens one)
    int _alias_req;                            // preference: anti-aliasing request for the pixel format
    int alias_got;                             // anti-aliasing level the pixel format obtained
    void* window[2];                           // main and second window (platform window handles)
    void* context[2];                          // their OpenGL contexts
    int cur_win;                               // current window id (WIN_NONE before the first frame)
    int open_menu;                             // index of the open GL menu, -1 none
    int box_open;                              // 1 while a sized modal box is shown
    float off_x, off_y;                        // box origin in virtual units
    float box_w, box_h;                        // size of the current box in virtual units
    int hide_cursor;                           // 1 on frames that hide the cursor
    int x_res, y_res;                          // screen size in pixels
    int col_res;                               // colour depth in bits
    int _set_res;                              // preference: change the colour depth at start
    int tex_res;                               // texture resolution level 0..5
    int _x_res_req, _y_res_req, _col_res_req;  // requested screen width, height, depth
    float scr_cx, scr_cy;                      // centre of the virtual screen in pixels
    float scr_x0, scr_y0;                      // left and bottom edge of the virtual screen in pixels
    float ortho[4];                            // left, bottom, right, top of the 2-D projection
    float tex_filter;                          // display ratio the texture code compares with 1.01
    float scale;                               // pixels per virtual unit
    float mouse_x, mouse_y;                    // mouse in virtual units relative to the box origin, y up
    int click;                                 // 1 on the frame the button went down
    int quick_click;                           // 1 on the release frame of a press shorter than 0.25 s
    int dbl_click;                             // 1 on a press within 0.25 s of the previous press
    int mouse_up;                              // 1 on the frame the button went up
    int held;                                  // 1 from a press until its release
    int held_long;                             // 1 while the button has been held more than 0.25 s
    int wheel;                                 // sum of wheel steps since the current box opened
    int in_sec_win;                            // 1 when the mouse is in the second window
    int key_event;                             // 1 on a frame that received a key-down or auto-key
    int key_code;                              // translated character of the last key
    float last_act;                            // clock time of the last press or mouse move
    float press_time;                          // clock time of the last press
    int key_down;                              // 1 from a key-down until the next key-up
    int _lang;                                 // interface language 0..6 (-1 during start-up)
    int _keylist_up;                           // preference of the same name
    int no_redraw;                             // 1 = an update event does not redraw (stays 0)
    int focus;                                 // id of the text field holding the keyboard focus, -1 none
    int speed;                                 // simulation-speed setting 2..8
    float pulse;                               // brightness of the pulsing colours this frame
    int _prefs_found;                          // preference of the same name
};

extern mnw_class mnw;

// Text typed since the current box opened (printable bytes only) and the Return flag of this frame.
extern std::string stl_input;
extern int return_hit;
