#include "installer/listing.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "core/alert.h"
#include "core/globals.h"
#include "core/md5.h"
#include "core/mnw.h"
#include "core/paths.h"
#include "core/stg.h"
#include "core/thread.h"
#include "core/xmap.h"
#include "gfx/draw2d.h"
#include "gfx/text.h"
#include "gfx/viewport.h"
#include "installer/art.h"
#include "installer/decisions.h"
#include "installer/install_tree.h"
#include "widgets/butn.h"

std::vector<file_history_struct> sim_info;
int this_install_has_exes = 0;
std::set<std::string> deleted_files;

namespace {

constexpr int progress_every_records = 500;
constexpr int progress_steps_examining = 200;

// Panel geometry in the 1024 x 768 virtual screen, relative to the panel's lower-left corner.
constexpr float panel_width = 512;
constexpr float panel_height = 138;
constexpr float frame_inset = 20;  // the frame leaves this margin on every side
constexpr float bar_width = 452;
constexpr float bar_centre_x = panel_width * 0.5f;
constexpr float bar_left_x = bar_centre_x - bar_width * 0.5f;  // where the fill starts
constexpr float bar_y = 35;
constexpr float text_x = 32;
constexpr float text_wrap_width = 462;
constexpr float caption_y = 100;  // the mode line and the text follow, one line lower each
constexpr float text_line_height = 20;
// The bar shows half full while the total is unknown, and never less than a sliver once started.
constexpr float fraction_unknown = 0.52f;
constexpr float fraction_least = 0.04f;
constexpr int panel_style = 15;
constexpr int bar_track_style = 4;
constexpr int bar_fill_style = 5;
constexpr int panel_text_colour = 48;

// Records parsed in this run; never reset, so a second read continues the count.
int records_parsed = 0;

int clamp_int(int value, int lo, int hi)
{
    return value < lo ? lo : (value > hi ? hi : value);
}

// A build number or a size in kilobytes: decimal digits only, 0 to INT32_MAX. A sign, a letter or
// a value that would wrap is no size the disk-space test could weigh, so the record is refused.
bool read_listed_number(xmap_class& reader, int* value, std::string* token)
{
    reader.TXT_str_scan_space(token);
    if (token->empty() || token->size() > std::numeric_limits<int32_t>::digits10 + 1)
        return false;
    int64_t number = 0;
    for (char c : *token) {
        if (c < '0' || c > '9')
            return false;
        number = number * 10 + (c - '0');
    }
    if (number > std::numeric_limits<int32_t>::max())
        return false;
    *value = int(number);
    return true;
}

void reject_record(const std::string& first, const std::string& path)
{
    __MACIBM_alert(0, first, "This is impossible to download or delete!", "It is:", path, ALERT_FATAL, __FILE__,
                   __LINE__);
}

// Most pool workers that sign files ahead of the disk examination; more only make a spinning disk
// seek.
constexpr unsigned max_signing_workers = 4;

// Signs the listed files on workers of the core thread pool, in list order, ahead of the
// examination loop, which takes each signature as it comes, draws its progress panel meanwhile
// and decides in order as before. A file no worker has begun when the loop reaches it (no pool
// runs, or its workers are busy with other work) the loop signs itself, so it never waits on work
// that has not started. A path that could raise an alert (one over the length limit) is left to
// the loop, so every alert still comes from the main thread.
class signing_pool {
public:
    explicit signing_pool(const std::vector<std::string>& locals)
        : locals_(locals), sigs_(locals.size(), SIG_NONE), state_(new std::atomic<int>[locals.size()])
    {
        for (size_t i = 0; i < locals.size(); ++i)
            state_[i].store(pending, std::memory_order_relaxed);
        if (!THREAD_is_inited())
            return;
        const unsigned workers =
            std::min({unsigned(THREAD_worker_count()), max_signing_workers, unsigned(locals.size())});
        for (unsigned w = 0; w < workers; ++w)
            calls_.push_back(THREAD_run_async(work, this));
    }
    ~signing_pool()
    {
        stop_.store(true);
        for (THREAD_call* call : calls_)
            if (THREAD_is_done(call, -1))
                (void)THREAD_cleanup(call);  // the signatures live in the pool
    }
    signing_pool(const signing_pool&) = delete;
    signing_pool& operator=(const signing_pool&) = delete;

    // The signature of file i as calc_file_md5 gives it, SIG_NONE when the file cannot be read.
    std::string take(size_t i)
    {
        int state = pending;
        if (!state_[i].compare_exchange_strong(state, left_to_loop, std::memory_order_acq_rel)) {
            while (state == signing) {
                state_[i].wait(signing, std::memory_order_acquire);
                state = state_[i].load(std::memory_order_acquire);
            }
            if (state == signed_it)
                return std::move(sigs_[i]);
        }
        std::string sig = SIG_NONE;
        (void)calc_file_md5(locals_[i], sig);  // a file that cannot be read keeps SIG_NONE: the install fetches it
        return sig;
    }

private:
    // A file's way: pending until a worker begins it (signing, then signed_it) or the loop takes
    // it over (left_to_loop).
    enum : int { pending, signing, signed_it, left_to_loop };

    static void* work(void* argument)
    {
        signing_pool& pool = *static_cast<signing_pool*>(argument);
        while (!pool.stop_.load(std::memory_order_relaxed)) {
            const size_t i = pool.next_.fetch_add(1);
            if (i >= pool.locals_.size())
                break;
            int state = pending;
            if (!pool.state_[i].compare_exchange_strong(state, signing, std::memory_order_acq_rel))
                continue;  // the loop has it already
            state = left_to_loop;
            if (app_path.size() + pool.locals_[i].size() <= path_max_chars) {
                (void)calc_file_md5(pool.locals_[i], pool.sigs_[i]);  // as in take: SIG_NONE stays
                state = signed_it;
            }
            pool.state_[i].store(state, std::memory_order_release);
            pool.state_[i].notify_one();
        }
        return nullptr;
    }

    const std::vector<std::string>& locals_;
    std::vector<std::string> sigs_;
    std::unique_ptr<std::atomic<int>[]> state_;
    std::atomic<size_t> next_{0};
    std::atomic<bool> stop_{false};
    std::vector<THREAD_call*> calls_;
};

// Signs the current version of every history against its file below dest_dir_path and adds what
// the install needs to the stg totals. Only the installer looks at its own disk this way; the
// release builder wants the listing's history alone.
void examine_disk(const std::string& caption)
{
    const int count = int(sim_info.size());
    const int step = count / progress_steps_examining > 1 ? count / progress_steps_examining : 1;
    std::vector<std::string> locals(count);
    for (int i = 0; i < count; ++i)
        locals[i] = local_path_of(sim_info[i].back().path);
    signing_pool signer(locals);
    for (int i = 0; i < count; ++i) {
        file_version_struct& v = sim_info[i].back();
        const std::string& local = locals[i];
        if (i % step == 0)
            dir_progress_bar(0, float(i), float(count), 1, caption, local);

        v.sig_have = signer.take(size_t(i));
        v.have_it = v.sig_want == v.sig_have ? 1 : 0;
        if (v.sig_want != SIG_GONE && !v.have_it && want_this_f(i, int(sim_info[i].size()) - 1, v.kind)) {
            stg.down_kb += v.zip_kb;
            stg.disk_kb += v.unzip_kb;
            if (v.platform >= OS_MACINTOSH && v.platform <= OS_LINUX_ATHLON)
                this_install_has_exes = 1;
        }
    }
}

}  // namespace

void dir_progress_bar(float lo, float cur, float hi, int mode, std::string caption, std::string text)
{
    if (mnw.window[0] == nullptr)
        return;  // headless: nothing to draw on

    const char* mode_text = mode == 0 ? "Currently SCANNING the directory text file."
        : mode == 1                   ? "Currently EXAMINING the hard disk."
                                      : "";
    draw_main_background();

    const float x0 = (float(mnw.x_res) - panel_width) * 0.5f;
    const float y0 = (float(mnw.y_res) - panel_height) * 0.5f;
    float fraction = fraction_unknown;
    if (lo != hi) {
        fraction = fraction_least + (1.0f - fraction_least) * (cur - lo) / (hi - lo);
        if (fraction < fraction_least)
            fraction = fraction_least;
        if (fraction > 1.0f)
            fraction = 1.0f;
    }
    BTN_frame2(panel_style, x0 + frame_inset, y0 + frame_inset, panel_width - 2 * frame_inset,
               panel_height - 2 * frame_inset, "");
    // BTN_frame1 takes a bar's centre and adds the drawing offset: the offset is taken back out so
    // that both bars land at these screen positions.
    const float fill_width = fraction * bar_width;
    const float bar_screen_y = y0 + bar_y - mnw.off_y;
    BTN_frame1(bar_track_style, x0 + bar_centre_x - mnw.off_x, bar_screen_y, bar_width, 0);
    BTN_frame1(bar_fill_style, x0 + bar_left_x + fill_width * 0.5f - mnw.off_x, bar_screen_y, fill_width, 0);

    const float line_x = x0 + text_x;
    OGL_string(panel_text_colour, line_x, y0 + caption_y, caption, text_wrap_width, charset_UI_diff_space);
    OGL_string(panel_text_colour, line_x, y0 + caption_y - text_line_height, mode_text, text_wrap_width,
               charset_UI_diff_space);
    OGL_string(panel_text_colour, line_x, y0 + caption_y - 2 * text_line_height, text, text_wrap_width,
               charset_UI_diff_space);
    OGL_sbuf();
}

int parse_directory(const std::string& path_in, const std::string& caption)
{
    std::string path = path_in;
    set_dir_chars(path);
    sim_info.clear();

    xmap_class reader(path);
    if (reader.base == nullptr) {
        __MACIBM_alert(0, "I tried to read a directory file that does not exist!", "The file is:", path, "",
                       ALERT_FATAL, __FILE__, __LINE__);
        return LISTING_REJECTED;  // only reached when a fatal alert is made to return
    }

    int versions[] = {810, LISTING_VERSION, 0};
    if (reader.check_file(LISTING_TYPE, versions, LISTING_KEYWORD, nullptr) == 0) {
        new_format(path);
        return LISTING_REJECTED;
    }

    // Parse. Every path is checked here, before anything on the disk is touched.
    const float length = float(reader.end - reader.base);
    std::string folder;
    std::string previous;
    bool have_previous = false;
    while (reader.cur < reader.end) {
        if (reader.TXT_str_scan_match("DIR", 0)) {
            reader.TXT_str_scan_eoln(&folder);
            set_dir_chars(folder);
        } else if (reader.TXT_str_scan_match("FILE", 0)) {
            file_version_struct record;
            record.kind = clamp_int(reader.TXT_int_scan(), 0, 1);
            record.platform = clamp_int(reader.TXT_int_scan(), 0, 6);
            static const char* const number_names[] = {"version", "zipped size", "unzipped size"};
            int numbers[3] = {};
            std::string tokens[3];
            int bad_number = -1;
            for (int n = 0; n < 3; ++n)
                if (!read_listed_number(reader, &numbers[n], &tokens[n]) && bad_number < 0)
                    bad_number = n;
            record.version = numbers[0];
            record.zip_kb = float(numbers[1]);
            record.unzip_kb = float(numbers[2]);
            reader.TXT_str_scan_space(&record.sig_want);
            std::string name;
            reader.TXT_str_scan_eoln(&name);
            set_dir_chars(name);
            record.path = folder + name;

            // A fatal alert ends the program; should one return, nothing of the
            // listing is kept, so nothing on the disk is touched.
            if (record.path.empty() || path_has_no_file(record.path)) {
                reject_record("I am reading the directory text file and found a path that has no file!", record.path);
                sim_info.clear();
                return LISTING_REJECTED;
            }
            if (!relative_path_is_safe(record.path)) {
                reject_record("I am reading the directory text file and found a path that leaves the install folder!",
                              record.path);
                sim_info.clear();
                return LISTING_REJECTED;
            }
            if (bad_number >= 0) {
                xer << "Listing " << path << " refused: the record of " << record.path << " has the "
                    << number_names[bad_number] << " '" << tokens[bad_number]
                    << "'; it must be a whole number from 0 to " << std::numeric_limits<int32_t>::max() << ".\n";
                xer.flush();
                new_format(path);
                sim_info.clear();
                return LISTING_REJECTED;
            }
            if (!have_previous || record.path != previous) {
                sim_info.emplace_back();
                previous = record.path;
                have_previous = true;
            }

            if (records_parsed % progress_every_records == 0)
                dir_progress_bar(0, float(reader.cur - reader.base), length, 0, caption, name);
            ++records_parsed;
            sim_info.back().push_back(std::move(record));
        } else {
            reader.TXT_str_scan_eoln(nullptr);
        }
    }
    return LISTING_READ;
}

int read_directory(const std::string& path, std::string caption)
{
    deleted_files.clear();
    stg.disk_kb = 0;
    stg.down_kb = 0;
    const int state = parse_directory(path, caption);
    if (state != LISTING_READ)
        return state;
    examine_disk(caption);
    return LISTING_READ;
}
