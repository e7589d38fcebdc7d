// art: the interface images built into the program, and the installer's controls cut from its picture.
// recall_ins_texes loads the four images as fixed textures at start-up (the shell's start-up calls it);
// the installer screens draw with interface_rect and interface_icon and show sizes with set_size_str.
// Invariant: images are raw RGBA, rows bottom to top, stored whole; the atlas is the last one loaded,
// so it is what scratch_array holds afterwards.
#pragma once

#include <string>

extern const unsigned char t_installer_dat[];
extern const unsigned char t_ins_back_1_dat[];
extern const unsigned char t_ins_back_2_dat[];
extern const unsigned char t_interface_dat[];

constexpr int INSTALLER_PICTURE_WIDTH = 1010, INSTALLER_PICTURE_HEIGHT = 764;
constexpr int BACKGROUND_WIDTH = 1024, BACKGROUND_HEIGHT = 768;
constexpr int INTERFACE_ATLAS_SIDE = 512;

// Palette entry that holds the tint of the last interface_rect drawn.
constexpr int INTERFACE_TINT_COLOUR = 98;
// interface_rect tints: a usable control, a disabled one; any other value draws untinted.
constexpr int TINT_USABLE = 1;
constexpr int TINT_DISABLED = 2;

void recall_ins_texes();
// Gives the palette the text colours the art needs and its defaults lack: an error red dark enough to
// read on the status block's white panel. recall_ins_texes calls it once the art is loaded.
void set_art_text_colours();
int interface_rect(float x, float y, float s, float t, float w, float h, int hot, int tint);
int interface_icon(float x, float y, int i);
// The main background picture over the whole 1024 x 768 virtual screen, under the main screen and
// the listing's progress panel.
void draw_main_background();
void set_size_str(float kb, std::string* out);
