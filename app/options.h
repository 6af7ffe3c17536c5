// The command line: which way the program runs and with what, read from arguments in any order.
#pragma once
#include <string>
#include <vector>

enum class RUN_KIND {
    NO_ARGUMENT, // the program name alone: ask for a patch file
    WINDOW,      // play a patch with its panels
    HEADLESS,    // play a patch from the console only
    RENDER,      // render a patch into a WAVE file
    CHECK,       // read patches and report on them
    HELP,
    VERSION
};

struct OPTIONS {
    RUN_KIND kind = RUN_KIND::WINDOW;
    std::vector<std::string> patches; // every argument that is not an option, in order
    std::string render_out;
    std::string seconds_text;
    double seconds = 0;
    bool verbose = false; // progress diagnostics of the loaders and the window
    bool recover = false; // --recover: play the patch's recovery copy instead of the patch
    bool have_remote = false;
    std::string remote; // "ADDR:PORT" or "off", as typed
    bool jack_connect = true;  // --jack-connect none: JACK output ports left unconnected
    std::string midi_connect;  // --midi-connect PORT: the MIDI source connected at start
    int midi_channel = 0;      // --midi-channel N (1 to 16); 0 listens to every channel
    int block_frames = 3072;   // --block FRAMES (64 to 8192): the sound device's block
    bool sub_blocks = true;    // --engine block (runs of frames) or sweep (frame by frame)
    std::string audio;  // "none", "sdl", "jack" or "record"; "" to ask on the console
    int driver = 0;     // the driver menu's answer, from 1; 0 to ask on the console
    std::string error;  // set when the command line cannot be run; the usage follows it
    const char* patch() const { return patches.empty() ? nullptr : patches.front().c_str(); }
};

// Reads argv[1..argc-1]. Options may stand anywhere among the patch names; "--" makes every
// later argument a patch name. --help and --version win over everything else.
OPTIONS parse_options(int argc, const char* const* argv);

// The console menu keys that --audio and --driver stand for ('1'..'4' for the output, '1'.. for
// the driver; 0 where the menu is asked). "jack" is the second driver of the no-sound output;
// with a JACK server the recorder moves from the second driver to the third.
struct MENU_KEYS {
    int output = 0;
    int driver = 0;
};
MENU_KEYS menu_keys_for(const std::string& audio, int driver, bool jack_server = false);

// The usage text, one line per way of running.
const char* usage_text();
