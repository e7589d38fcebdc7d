#pragma once
// nginx's access log as a test reads it right after a transfer.
// nginx writes a request's line only once the answer's last byte has gone out, so a client that
// already holds the whole body can look before the line is there. The test servers run one
// worker, which serves requests in turn: once it has answered one more request, every line of
// the requests before it is written.

#include <cstdint>
#include <string>

#include "support/file_bytes.h"

namespace test {

// The access log at `path` of the nginx on 127.0.0.1:`port`, holding every request answered so far.
inline std::string settled_access_log(const std::string& path, uint16_t port)
{
    (void)command_output("curl -s -o /dev/null --max-time 10 --noproxy '*' http://127.0.0.1:" + std::to_string(port) +
                         "/");
    return read_file(path);
}

}  // namespace test
