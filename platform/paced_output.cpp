// Pulls a stream at real-time pace on a thread of its own, discarding the blocks or
// recording them to a WAVE file.
#include "platform/paced_output.h"

#include <chrono>
#include <cstdint>
#include <utility>

#include "engine/load_meter.h"
#include "platform/fsound_stream.h"

long long block_duration_us(int length_bytes) {
    return static_cast<long long>(length_bytes / 4) * 1000000LL / SAMPLE_RATE;
}

PACED_OUTPUT::PACED_OUTPUT(std::string record_path) : record_path_(std::move(record_path)) {}

PACED_OUTPUT::~PACED_OUTPUT() {
    stop();
    recorder_.close();
}

bool PACED_OUTPUT::open() {
    if (record_path_.empty() || recorder_.is_open()) return true;
    return recorder_.open(record_path_.c_str());
}

bool PACED_OUTPUT::start(FSOUND_STREAM* stream) {
    if (worker_.joinable()) return false;
    stopping_ = false;
    worker_ = std::thread(&PACED_OUTPUT::run, this, stream);
    return true;
}

void PACED_OUTPUT::stop() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (worker_.joinable()) worker_.join();
}

void PACED_OUTPUT::run(FSOUND_STREAM* stream) {
    using clock = std::chrono::steady_clock;
    const auto period = std::chrono::microseconds(block_duration_us(stream->length));
    auto due = clock::now();
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (stopping_) return;
        }
        const int64_t start = load_clock_ns();
        stream->next_block();
        load_period(load_clock_ns() - start, block_duration_us(stream->length) * 1000);
        if (recorder_.is_open()) {
            // The sizes are rewritten after every block, so a recording cut short still plays.
            recorder_.write_frames(reinterpret_cast<const int16_t*>(stream->block.data()),
                                   stream->length / 4);
            recorder_.update_header();
        }
        due += period;
        // After a long stall start afresh rather than rushing to catch up; a block begun a whole
        // period after it was due is a late one.
        const auto now = clock::now();
        if (now - due > period) load_late_period();
        if (now - due > std::chrono::seconds(1)) due = now;
        std::unique_lock<std::mutex> lock(mutex_);
        if (wake_.wait_until(lock, due, [this] { return stopping_; })) return;
    }
}
