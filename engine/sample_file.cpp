// Reading sample files (WAVE, AIFF, FLAC and the rest libsndfile knows) as 16-bit stereo at 44100 Hz.
#include "sample_file.h"

#include <fcntl.h>
#include <samplerate.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>

namespace {

// Values read from the file per call, whatever its channel count.
constexpr int CHUNK_VALUES = 1 << 15;

// The sampler's data as it fills: stereo frames up to the room a sampler has.
class STEREO_DATA {
  public:
    explicit STEREO_DATA(std::vector<int16_t>& dst) : dst_(dst) {}
    bool full() const { return dst_.size() >= 2u * SAMPLE_DATA_MAX_FRAMES; }
    void add(int16_t left, int16_t right) {
        dst_.push_back(left);
        dst_.push_back(right);
    }

  private:
    std::vector<int16_t>& dst_;
};

int chunk_frames(int channels) {
    return channels < CHUNK_VALUES ? CHUNK_VALUES / channels : 1;
}

// 16-bit data at the output rate is copied as it stands, value for value. True when the file
// held more than there was room for.
bool copy_pcm16(SNDFILE* file, int channels, STEREO_DATA& out) {
    const int chunk = chunk_frames(channels);
    std::vector<short> buf(static_cast<size_t>(chunk) * channels);
    for (;;) {
        const sf_count_t got = sf_readf_short(file, buf.data(), chunk);
        if (got <= 0) return false;
        for (sf_count_t i = 0; i < got; ++i) {
            if (out.full()) return true;
            const short* frame = &buf[static_cast<size_t>(i) * channels];
            out.add(frame[0], channels > 1 ? frame[1] : frame[0]);
        }
    }
}

// Any other data at the output rate: normalised values, rounded to 16 bits.
bool convert_in_place(SNDFILE* file, int channels, STEREO_DATA& out) {
    const int chunk = chunk_frames(channels);
    std::vector<double> buf(static_cast<size_t>(chunk) * channels);
    for (;;) {
        const sf_count_t got = sf_readf_double(file, buf.data(), chunk);
        if (got <= 0) return false;
        for (sf_count_t i = 0; i < got; ++i) {
            if (out.full()) return true;
            const double* frame = &buf[static_cast<size_t>(i) * channels];
            out.add(sample_to_pcm16(frame[0]), sample_to_pcm16(channels > 1 ? frame[1] : frame[0]));
        }
    }
}

// Data at another rate goes through libsamplerate's band-limited converter in pieces, so that
// memory follows what is kept rather than what the file holds. Returns 1 when the file held more
// than there was room for, 0 when it was read whole, -1 when the converter failed.
int resample(SNDFILE* file, int channels, int rate, STEREO_DATA& out) {
    int error = 0;
    SRC_STATE* state = src_new(SRC_SINC_MEDIUM_QUALITY, 2, &error);
    if (state == nullptr) return -1;
    const int chunk = chunk_frames(channels);
    const double ratio = static_cast<double>(SAMPLE_RATE) / rate;
    std::vector<float> raw(static_cast<size_t>(chunk) * channels);
    std::vector<float> stereo(static_cast<size_t>(chunk) * 2);
    const long out_room = static_cast<long>(chunk * ratio) + 64;
    std::vector<float> converted(static_cast<size_t>(out_room) * 2);

    int result = 0;
    bool end = false;
    while (!end && result == 0) {
        const sf_count_t got = sf_readf_float(file, raw.data(), chunk);
        end = got <= 0;
        for (sf_count_t i = 0; i < got; ++i) {
            const float* frame = &raw[static_cast<size_t>(i) * channels];
            stereo[2 * i] = frame[0];
            stereo[2 * i + 1] = channels > 1 ? frame[1] : frame[0];
        }
        SRC_DATA d{};
        d.data_in = stereo.data();
        d.input_frames = end ? 0 : static_cast<long>(got);
        d.src_ratio = ratio;
        d.end_of_input = end ? 1 : 0;
        // Until this piece is used up, and at the end until the converter has nothing left.
        for (;;) {
            d.data_out = converted.data();
            d.output_frames = out_room;
            if (src_process(state, &d) != 0) {
                result = -1;
                break;
            }
            for (long i = 0; i < d.output_frames_gen && result == 0; ++i) {
                if (out.full())
                    result = 1;
                else
                    out.add(sample_to_pcm16(converted[2 * i]), sample_to_pcm16(converted[2 * i + 1]));
            }
            if (result != 0) break;
            d.data_in += 2 * d.input_frames_used;
            d.input_frames -= d.input_frames_used;
            if (d.input_frames == 0 && (!end || d.output_frames_gen == 0)) break;
        }
    }
    src_delete(state);
    return result;
}

enum SAMPLE_PROBLEM {
    SAMPLE_OK,
    SAMPLE_UNOPENED,
    SAMPLE_EMPTY,
    SAMPLE_NOT_SOUND,
    SAMPLE_BAD_FORMAT,
    SAMPLE_SILENT
};

const char* const problem_text[] = {nullptr,
                                    "cannot be opened",
                                    "is empty",
                                    "is not a sound file",
                                    "has a rate or channel count that cannot be played",
                                    "holds no sound"};

// The checks both the reader and the probe make. On SAMPLE_OK the file is open and info filled.
SAMPLE_PROBLEM open_sample(const char* path, SNDFILE*& file, SF_INFO& info) {
    file = nullptr;
    info = SF_INFO{};
    const int fd = path != nullptr ? open(path, O_RDONLY | O_CLOEXEC) : -1;
    if (fd < 0) return SAMPLE_UNOPENED;
    struct stat st {};
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size == 0) {
        close(fd);
        return SAMPLE_EMPTY;
    }
    file = sf_open_fd(fd, SFM_READ, &info, SF_TRUE);
    if (file == nullptr) return SAMPLE_NOT_SOUND;
    if (info.channels < 1 || info.samplerate < SAMPLE_FILE_MIN_RATE ||
        info.samplerate > SAMPLE_FILE_MAX_RATE) {
        sf_close(file);
        file = nullptr;
        return SAMPLE_BAD_FORMAT;
    }
    return SAMPLE_OK;
}

int refuse(std::vector<int16_t>& dst, const char* path, const char* why) {
    dst.clear();
    dst.shrink_to_fit();
    std::printf("Sample refused [%s]: the file %s\n", path, why);
    return WAVE_REFUSED;
}

} // namespace

int16_t sample_to_pcm16(double v) {
    if (std::isnan(v)) return 0;
    const double s = std::round(v * 32768.0);
    if (s > 32767.0) return 32767;
    if (s < -32768.0) return -32768;
    return static_cast<int16_t>(s);
}

long long frames_at_output_rate(long long frames, int rate) {
    return std::llround(static_cast<double>(frames) * SAMPLE_RATE / rate);
}

const char* sample_file_problem(const char* path) {
    SNDFILE* file;
    SF_INFO info;
    const SAMPLE_PROBLEM p = open_sample(path, file, info);
    if (p != SAMPLE_OK) return problem_text[p];
    sf_close(file);
    return info.frames > 0 ? nullptr : problem_text[SAMPLE_SILENT];
}

int read_wave_data(std::vector<int16_t>& dst, const char* path) {
    dst.clear();
    SNDFILE* file;
    SF_INFO info;
    const SAMPLE_PROBLEM p = open_sample(path, file, info);
    if (p == SAMPLE_UNOPENED) {
        std::printf("Error load [%s]\n", path != nullptr ? path : "");
        return WAVE_OPEN_FAILED;
    }
    if (p != SAMPLE_OK) {
        char why[300];
        if (p == SAMPLE_NOT_SOUND)
            std::snprintf(why, sizeof why, "%s (%s)", problem_text[p], sf_strerror(nullptr));
        else if (p == SAMPLE_BAD_FORMAT)
            std::snprintf(why, sizeof why, "%s (%d channels at %d Hz)", problem_text[p], info.channels,
                          info.samplerate);
        else
            std::snprintf(why, sizeof why, "%s", problem_text[p]);
        return refuse(dst, path, why);
    }
    if (info.channels > 2)
        std::printf("Sample [%s] has %d channels: the first two are played\n", path, info.channels);

    // A header may claim any length: room is taken for no more than the sampler can hold.
    if (info.frames > 0) {
        const long long expected = frames_at_output_rate(info.frames, info.samplerate) + 1;
        dst.reserve(
            2u * static_cast<size_t>(expected < SAMPLE_DATA_MAX_FRAMES ? expected : SAMPLE_DATA_MAX_FRAMES));
    }
    STEREO_DATA out(dst);
    int cut = 0;
    if (info.samplerate != SAMPLE_RATE)
        cut = resample(file, info.channels, info.samplerate, out);
    else if ((info.format & SF_FORMAT_SUBMASK) == SF_FORMAT_PCM_16)
        cut = copy_pcm16(file, info.channels, out) ? 1 : 0;
    else
        cut = convert_in_place(file, info.channels, out) ? 1 : 0;
    sf_close(file);

    if (cut < 0) return refuse(dst, path, "could not be converted to 44100 Hz");
    if (dst.empty()) return refuse(dst, path, problem_text[SAMPLE_SILENT]);
    if (cut > 0) std::printf("Sample [%s] cut to its first %d frames\n", path, SAMPLE_DATA_MAX_FRAMES);
    return static_cast<int>(dst.size() * 2);
}
