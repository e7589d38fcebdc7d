#pragma once
// Error codes and the sentences shown for them. An error code is 0 for
// success, an errno value, a result of the original file services or
// minizip (negative), or one of the program's own codes below.

#include <string>

enum veltrix_error : int {
    kErrZipOpen = 20001,
    kErrZipRead = 20002,
    kErrZipCreate = 20003,
    kErrZipWrite = 20004,
    kErrZipForkTooBig = 20005,
    kErrFileOpenRead = 20006,
    kErrNetReconnect = 20007,
    kErrNetBadState = 20008,
    kErrNetNoConnection = 20009,
    kErrNetWriteFile = 20010,
    kErrNetNoServer = 20011,
    kErrZipForkHeader = 20012,
};

struct error_message {
    int code;
    const char* message;
};

// 79 entries, then {0, nullptr}.
constexpr int error_message_count = 79;
extern const error_message kErrMsgs[error_message_count + 1];

// The message of `code`, or "Unknown error occurred (<code>)".
std::string error_str(int code);
