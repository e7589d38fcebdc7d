#include "platform/movie.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

namespace plat {

namespace {

// "Normal" quality: a fixed quantiser, the same for every frame.
constexpr int NORMAL_QUANTISER = 3;
// 4:4:4 keeps both chroma planes at full size, so any width and height encode. The converter writes
// the same planes as full-range YUV, since it frowns on the JPEG-range format name.
constexpr AVPixelFormat MOVIE_PIXELS = AV_PIX_FMT_YUVJ444P;
constexpr AVPixelFormat CONVERTED_PIXELS = AV_PIX_FMT_YUV444P;
constexpr int ARGB_BYTES = 4;

movie_status failure(movie_step step, int code)
{
    return {step, code};
}

}

// Everything of one movie being written; destroying it frees the lot, and closes the file when open.
struct movie_writer::open_movie {
    std::string path;
    int width = 0, height = 0;
    AVFormatContext* format = nullptr;
    AVStream* stream = nullptr;
    AVCodecContext* encoder = nullptr;
    AVFrame* picture = nullptr;
    AVPacket* packet = nullptr;
    SwsContext* converter = nullptr;
    int64_t next_time = 0;  // sum of the durations written, in 1/600 s

    ~open_movie()
    {
        sws_freeContext(converter);
        av_packet_free(&packet);
        av_frame_free(&picture);
        avcodec_free_context(&encoder);
        if (format != nullptr) {
            if (format->pb != nullptr)
                avio_closep(&format->pb);
            avformat_free_context(format);
        }
    }

    // Sends one frame (null flushes) and writes what the encoder gives back, each packet stamped with
    // the running time and `duration`.
    movie_status encode(const AVFrame* frame, int duration, movie_step encode_step)
    {
        int result = avcodec_send_frame(encoder, frame);
        if (result < 0)
            return failure(encode_step, result);
        while ((result = avcodec_receive_packet(encoder, packet)) == 0) {
            packet->pts = packet->dts = next_time;
            packet->duration = duration;
            packet->stream_index = stream->index;
            av_packet_rescale_ts(packet, AVRational{1, MOVIE_TIME_SCALE}, stream->time_base);
            result = av_interleaved_write_frame(format, packet);
            if (result < 0)
                return failure(movie_step::add_sample, result);
        }
        if (result != AVERROR(EAGAIN) && result != AVERROR_EOF)
            return failure(encode_step, result);
        return {};
    }
};

bool movie_available()
{
    return av_guess_format("mov", nullptr, nullptr) != nullptr && avcodec_find_encoder(AV_CODEC_ID_MJPEG) != nullptr;
}

movie_writer::movie_writer() = default;

movie_writer::~movie_writer()
{
    if (open_ != nullptr)
        (void)finish();  // nobody is left to tell of a failure
}

movie_status movie_writer::create(const std::string& path, int width, int height)
{
    open_.reset();
    struct stat info;
    if (stat(path.c_str(), &info) != 0 && errno != ENOENT)
        return failure(movie_step::create_file, AVERROR(errno));

    auto movie = std::make_unique<open_movie>();
    movie->path = path;
    movie->width = width;
    movie->height = height;
    int result = avformat_alloc_output_context2(&movie->format, nullptr, "mov", path.c_str());
    if (result < 0)
        return failure(movie_step::create_file, result);
    // Opening for writing truncates: a file of that name is replaced.
    result = avio_open(&movie->format->pb, path.c_str(), AVIO_FLAG_WRITE);
    if (result < 0)
        return failure(movie_step::create_file, result);
    // From here on the file is ours: a failure takes it away again.
    auto status = [&](movie_step step, int code) {
        movie.reset();
        unlink(path.c_str());
        return failure(step, code);
    };

    movie->stream = avformat_new_stream(movie->format, nullptr);
    if (movie->stream == nullptr)
        return status(movie_step::begin_edits, AVERROR(ENOMEM));
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MJPEG);
    if (codec == nullptr)
        return status(movie_step::compress_begin, AVERROR_ENCODER_NOT_FOUND);
    movie->encoder = avcodec_alloc_context3(codec);
    if (movie->encoder == nullptr)
        return status(movie_step::compress_begin, AVERROR(ENOMEM));
    AVCodecContext* encoder = movie->encoder;
    encoder->width = width;
    encoder->height = height;
    encoder->time_base = AVRational{1, MOVIE_TIME_SCALE};
    encoder->pix_fmt = MOVIE_PIXELS;
    encoder->flags |= AV_CODEC_FLAG_QSCALE;
    encoder->global_quality = FF_QP2LAMBDA * NORMAL_QUANTISER;
    if (movie->format->oformat->flags & AVFMT_GLOBALHEADER)
        encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    result = avcodec_open2(encoder, codec, nullptr);
    if (result < 0)
        return status(movie_step::compress_begin, result);
    result = avcodec_parameters_from_context(movie->stream->codecpar, encoder);
    if (result < 0)
        return status(movie_step::begin_edits, result);
    movie->stream->codecpar->codec_tag = MKTAG('j', 'p', 'e', 'g');
    movie->stream->time_base = AVRational{1, MOVIE_TIME_SCALE};

    // Without the option the muxer raises the track's time scale to 19200.
    AVDictionary* options = nullptr;
    av_dict_set(&options, "video_track_timescale", "600", 0);
    result = avformat_write_header(movie->format, &options);
    av_dict_free(&options);
    if (result < 0)
        return status(movie_step::begin_edits, result);

    movie->picture = av_frame_alloc();
    movie->packet = av_packet_alloc();
    if (movie->picture == nullptr || movie->packet == nullptr)
        return status(movie_step::compression_size, AVERROR(ENOMEM));
    movie->picture->format = MOVIE_PIXELS;
    movie->picture->width = width;
    movie->picture->height = height;
    result = av_frame_get_buffer(movie->picture, 0);
    if (result < 0)
        return status(movie_step::compression_size, result);
    movie->converter = sws_getContext(width, height, AV_PIX_FMT_ARGB, width, height, CONVERTED_PIXELS, SWS_POINT,
                                      nullptr, nullptr, nullptr);
    if (movie->converter == nullptr)
        return status(movie_step::compression_size, AVERROR(ENOMEM));
    int* to_rgb = nullptr;
    int* from_rgb = nullptr;
    int source_range = 0, target_range = 0, brightness = 0, contrast = 0, saturation = 0;
    if (sws_getColorspaceDetails(movie->converter, &to_rgb, &source_range, &from_rgb, &target_range, &brightness,
                                 &contrast, &saturation) >= 0)
        sws_setColorspaceDetails(movie->converter, to_rgb, source_range, from_rgb, 1, brightness, contrast, saturation);
    open_ = std::move(movie);
    return {};
}

movie_status movie_writer::add(const unsigned char* argb, int duration)
{
    if (open_ == nullptr)
        return failure(movie_step::compress_frame, AVERROR(EINVAL));
    open_movie& movie = *open_;
    int result = av_frame_make_writable(movie.picture);
    if (result >= 0) {
        const uint8_t* rows[1] = {argb};
        const int stride[1] = {movie.width * ARGB_BYTES};
        sws_scale(movie.converter, rows, stride, 0, movie.height, movie.picture->data, movie.picture->linesize);
        movie.picture->pts = movie.next_time;
        movie.picture->quality = movie.encoder->global_quality;
    }
    const movie_status status = result < 0 ? failure(movie_step::compress_frame, result)
                                           : movie.encode(movie.picture, duration, movie_step::compress_frame);
    if (!status.ok()) {
        // Keep the samples written so far when the movie can still be finished; the first failure
        // is the one to tell.
        return {status.failed, status.code, finish().lost};
    }
    movie.next_time += duration;
    return {};
}

movie_status movie_writer::finish()
{
    if (open_ == nullptr)
        return {};
    std::unique_ptr<open_movie> movie = std::move(open_);
    // Without its index (written last) the samples are a file that nothing plays: better none.
    auto lost = [&movie](movie_step step, int code) {
        const std::string path = movie->path;
        movie.reset();
        unlink(path.c_str());
        return movie_status{step, code, true};
    };
    // A frame the encoder cannot give back is left out; the samples before it still make a movie.
    const movie_status flushed = movie->encode(nullptr, 0, movie_step::end_edits);
    int result = av_write_trailer(movie->format);
    // The last of the index may still sit in the buffer: only a clean close says it reached the file.
    if (result >= 0)
        result = avio_closep(&movie->format->pb);
    if (result < 0)
        return flushed.ok() ? lost(movie_step::add_resource, result) : lost(flushed.failed, flushed.code);
    return flushed;
}

}
