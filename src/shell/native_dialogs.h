// native_dialogs: the system's own chooser and boxes, outside the OpenGL window.
// The installer's destination choice and the folder fields use the chooser in folder mode.
// Invariant: the caller's path buffer (1024 bytes plus the NUL) is written only on success.
#pragma once

#include <cstdint>

// Capacity of a chooser answer in bytes, without the terminating NUL.
constexpr int CHOOSER_PATH_CAPACITY = 1024;

int GetFilePathFromUser(int mode, const char* prompt, const char* button_label, int pref_key, const char* start_folder,
                        char* path);
void DoUserAlert(const char* text);
int ConfirmMessage(const char* message, const char* ok_label, const char* cancel_label);
void ShowProgressMessage(const char* text, float* fraction);
void EndianFlipShort(int16_t* value);
void EndianFlipLong(int32_t* value);
