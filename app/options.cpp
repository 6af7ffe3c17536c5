// The command line: which way the program runs and with what, read from arguments in any order.
#include "app/options.h"

#include <cstdlib>
#include <cstring>

#include "app/render.h"

namespace {

bool is(const char* arg, const char* long_name, const char* short_name = nullptr) {
    return std::strcmp(arg, long_name) == 0 || (short_name && std::strcmp(arg, short_name) == 0);
}

// The value of an option that takes one; false (with the error set) when none follows.
bool take_value(int argc, const char* const* argv, int& i, std::string& out, OPTIONS& o) {
    if (i + 1 >= argc) {
        o.error = std::string(argv[i]) + " needs a value";
        return false;
    }
    out = argv[++i];
    return true;
}

// A driver number from 1 to 99 as typed; 0 for anything else.
int driver_number(const std::string& text) {
    if (text.empty() || text.size() > 2) return 0;
    for (char c : text)
        if (c < '0' || c > '9') return 0;
    return std::stoi(text);
}

void check_patch_count(OPTIONS& o, const char* what) {
    if (o.patches.empty())
        o.error = std::string(what) + " needs a patch file";
    else if (o.patches.size() > 1)
        o.error = std::string(what) + " plays one patch file, not " + std::to_string(o.patches.size());
}

// The JACK, MIDI and block options; false (with the error set) when the value is missing or wrong.
bool read_midi_option(int argc, const char* const* argv, int& i, OPTIONS& o) {
    const std::string name = argv[i];
    std::string value;
    if (!take_value(argc, argv, i, value, o)) return false;
    if (name == "--midi-connect") {
        o.midi_connect = value;
    } else if (name == "--jack-connect") {
        if (value != "none" && value != "playback") {
            o.error = "--jack-connect takes none or playback, not " + value;
            return false;
        }
        o.jack_connect = value == "playback";
    } else {
        const bool block = name == "--block";
        const long low = block ? 64 : 1, high = block ? 8192 : 16;
        char* end = nullptr;
        const long n = std::strtol(value.c_str(), &end, 10);
        if (value.empty() || *end != '\0' || n < low || n > high) {
            o.error = name + (block ? " takes a number of frames from 64 to 8192, not " :
                                      " takes a channel from 1 to 16, not ") + value;
            return false;
        }
        (block ? o.block_frames : o.midi_channel) = static_cast<int>(n);
    }
    return true;
}

} // namespace

OPTIONS parse_options(int argc, const char* const* argv) {
    OPTIONS o;
    if (argc <= 1) {
        o.kind = RUN_KIND::NO_ARGUMENT;
        return o;
    }
    bool help = false, version = false, headless = false, render = false, check = false, seconds = false;
    bool only_patches = false;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (only_patches || a[0] != '-' || a[1] == '\0') {
            o.patches.push_back(a);
        } else if (is(a, "--")) {
            only_patches = true;
        } else if (is(a, "--help", "-h")) {
            help = true;
        } else if (is(a, "--version", "-V")) {
            version = true;
        } else if (is(a, "--headless")) {
            headless = true;
        } else if (is(a, "--check")) {
            check = true;
        } else if (is(a, "--verbose", "-v")) {
            o.verbose = true;
        } else if (is(a, "--recover")) {
            o.recover = true;
        } else if (is(a, "--render")) {
            render = true;
            if (!take_value(argc, argv, i, o.render_out, o)) break;
        } else if (is(a, "--seconds")) {
            seconds = true;
            if (!take_value(argc, argv, i, o.seconds_text, o)) break;
        } else if (is(a, "--audio")) {
            if (!take_value(argc, argv, i, o.audio, o)) break;
            if (o.audio != "none" && o.audio != "sdl" && o.audio != "jack" && o.audio != "record" && o.error.empty())
                o.error = "--audio takes none, sdl, jack or record, not " + o.audio;
        } else if (is(a, "--driver")) {
            std::string n;
            if (!take_value(argc, argv, i, n, o)) break;
            o.driver = driver_number(n);
            if (o.driver == 0 && o.error.empty()) o.error = "--driver takes a driver number from 1, not " + n;
        } else if (is(a, "--remote")) {
            o.have_remote = true;
            if (!take_value(argc, argv, i, o.remote, o)) break;
        } else if (is(a, "--engine")) {
            std::string engine;
            if (!take_value(argc, argv, i, engine, o)) break;
            o.sub_blocks = engine != "sweep";
            if (engine != "block" && engine != "sweep" && o.error.empty())
                o.error = "--engine takes block or sweep, not " + engine;
        } else if (is(a, "--jack-connect") || is(a, "--midi-connect") || is(a, "--midi-channel") ||
                   is(a, "--block")) {
            if (!read_midi_option(argc, argv, i, o)) break;
        } else if (o.error.empty()) {
            o.error = std::string("unknown option ") + a;
        }
    }
    if (help) {
        o.kind = RUN_KIND::HELP;
        o.error.clear();
        return o;
    }
    if (version) {
        o.kind = RUN_KIND::VERSION;
        o.error.clear();
        return o;
    }
    if (!o.error.empty()) return o;

    if (headless + render + check > 1) {
        o.error = "--headless, --render and --check exclude each other";
        return o;
    }
    if (seconds && !render) {
        o.error = "--seconds goes with --render";
        return o;
    }
    if ((check || render) && (!o.audio.empty() || o.driver != 0)) {
        o.error = "--audio and --driver go with playing a patch, not with --check or --render";
        return o;
    }
    if (o.audio == "record" && o.driver != 0) {
        o.error = "--audio record chooses its driver itself: leave out --driver";
        return o;
    }
    if (check) {
        o.kind = RUN_KIND::CHECK;
        if (o.patches.empty()) o.error = "--check needs at least one patch file";
        return o;
    }
    if (render) {
        o.kind = RUN_KIND::RENDER;
        if (!seconds) {
            o.error = "--render needs --seconds S";
            return o;
        }
        if (!parse_seconds(o.seconds_text.c_str(), &o.seconds)) {
            o.error = "bad duration " + o.seconds_text + ": give a number of seconds, 0 or more";
            return o;
        }
        check_patch_count(o, "--render");
        return o;
    }
    o.kind = headless ? RUN_KIND::HEADLESS : RUN_KIND::WINDOW;
    check_patch_count(o, headless ? "--headless" : "tessaro");
    return o;
}

MENU_KEYS menu_keys_for(const std::string& audio, int driver, bool jack_server) {
    MENU_KEYS k;
    // The menus' own answers: "1" plays on the sound card through SDL, "4" keeps the real-time
    // clock without output; JACK, when a server runs, is the second driver of every output and
    // the recorder is the last.
    if (audio == "sdl") k.output = '1';
    if (audio == "none" || audio == "record" || (audio == "jack" && jack_server)) k.output = '4';
    if (audio == "none" || audio == "sdl") k.driver = '1';
    if (audio == "jack" && jack_server) k.driver = '2';
    if (audio == "record") k.driver = jack_server ? '3' : '2';
    if (driver > 0) k.driver = '0' + driver;
    return k;
}

const char* usage_text() {
    return "Usage:\n"
           "  tessaro PATCH.KVX                               play a patch in its window\n"
           "  tessaro --headless PATCH.KVX                    play a patch without a window\n"
           "  tessaro --render OUT.wav --seconds S PATCH.KVX  render S seconds of a patch to a WAVE file\n"
           "  tessaro --check PATCH.KVX...                    check patches: one line per problem\n"
           "  tessaro --help | -h                             this text\n"
           "  tessaro --version | -V                          the version\n"
           "  --verbose | -v                                  also print the progress of start-up\n"
           "  --recover                                       play the patch's recovery copy (kept while it was edited)\n"
           "\n"
           "Options may come in any order. The console asks for the audio output and driver; ESC quits.\n"
           "--audio sdl (the sound card), none (no output), record (a WAVE file) or jack answers the\n"
           "output menu, --driver N the driver menu (1 the device, 2 JACK when a server runs, the\n"
           "WAVE recorder last).\n"
           "Remote control listens on TCP port 9999 of every interface; --remote ADDR:PORT (e.g.\n"
           "--remote 127.0.0.1:9999) or --remote off changes that.\n"
           "With a JACK server running, the client \"tessaro\" takes MIDI notes on its port midi_in:\n"
           "--midi-connect PORT connects a source at start, --midi-channel N (1 to 16) listens to one\n"
           "channel, --jack-connect none leaves the JACK output's ports unconnected.\n"
           "--block FRAMES (64 to 8192, default 3072) sets the sound device's block: shorter is quicker.\n"
           "--engine sweep renders frame by frame instead of in runs of frames (--engine block, the\n"
           "default): the same sound, more slowly; for comparing the two.\n";
}
