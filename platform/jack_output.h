// The JACK client "tessaro": its MIDI input port whenever a server runs, and its two audio
// output ports when JACK is the chosen output.
#pragma once
#include <string>

#include "platform/audio_output.h"

struct JACK_OPTIONS {
    bool connect_playback = true; // --jack-connect none clears it
    std::string midi_source;      // --midi-connect PORT
};
// Set once, before the audio menus.
void set_jack_options(const JACK_OPTIONS& options);

// True when a JACK server is reachable; the first call opens the client (never starting a
// server, printing nothing, not waiting when none runs).
bool jack_available();
// The server's period in frames and its sample rate in Hz (0 when none runs).
int jack_period();
int jack_rate();

// Registers "midi_in", activates the client and connects the chosen MIDI source. MIDI then
// reaches the player through the engine's queue whichever output plays. False without a server.
bool start_jack_midi();

// Plays a stream through the client's two output ports in the server's process callback,
// converting 44100 Hz to the server's rate when they differ. With record_path set, what plays
// is also written to that WAVE file by a thread of its own.
class JACK_OUTPUT : public AUDIO_OUTPUT {
  public:
    explicit JACK_OUTPUT(std::string record_path);
    ~JACK_OUTPUT() override;
    bool open() override;
    bool start(FSOUND_STREAM* stream) override;
    void stop() override;

  private:
    std::string record_path_;
};

// True once the server went away under the running client.
bool jack_server_gone();
