#pragma once
// Movie files read back with Debian's ffprobe and ffmpeg: the video stream's description, every
// packet's time and duration, and one decoded frame as RGB bytes.

#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "support/file_bytes.h"

namespace test {

struct movie_facts {
    std::string stream;  // "codec,tag,width,height,time base", e.g. "mjpeg,jpeg,320,240,1/600"
    std::vector<int> pts, durations;
};

inline movie_facts probe_movie(const std::string& path)
{
    std::istringstream lines(command_output("ffprobe -v error -show_entries stream=codec_name,codec_tag_string,"
                                            "width,height,time_base:packet=pts,duration -of csv '" +
                                            path + "'"));
    movie_facts facts;
    int pts = 0, duration = 0;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("stream,", 0) == 0)
            facts.stream = line.substr(7);
        else if (std::sscanf(line.c_str(), "packet,%d,%d", &pts, &duration) == 2)
            facts.pts.push_back(pts), facts.durations.push_back(duration);
    }
    return facts;
}

// Frame `index` of the movie decoded to RGB rows, top row first (empty when it cannot be decoded).
inline std::vector<uint8_t> movie_frame_rgb(const std::string& path, int index)
{
    const std::string bytes = command_output("ffmpeg -v error -i '" + path + "' -vf 'select=eq(n\\," +
                                             std::to_string(index) + ")' -frames:v 1 -f rawvideo -pix_fmt rgb24 -");
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

}  // namespace test
