// The door into the engine: the one way a writer changes a patch (parameters by key, links by
// port, mixer channels), each accepted change told to the observers.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "generator.h"
#include "module_kinds.h"
#include "module_ref.h"
#include "param_table.h"

// One parameter of a kind: a cell's row and column, a slot's number in `index`.
struct PARAM_KEY {
    PARAM_ID id = P_COUNT;
    int row = 0;
    int index = 0;
};

// The key a text names for a kind: "HICUT", "NOTE_003_004" (row 3, column 4, three digits
// each), "LEVEL_02" (slot 2, two digits or more). False for any other text, and for a cell or
// slot outside the module's arrays.
bool param_key_of(MODULE_KIND kind, const char* text, PARAM_KEY& out);
// The text of a key, as param_key_of reads it back.
std::string param_key_text(const PARAM_KEY& key);

// The ports a consumer is linked by. IN, the modulation slots and a mixer's CHANNEL take a
// producer's signal, GATE its gate and SYNC its sync pulse (sequencers and keyboards only).
enum LINK_PORT { LINK_IN, LINK_GATE, LINK_SYNC, LINK_MOD_FREQ, LINK_MOD_PHASE, LINK_MOD_AMP, LINK_MOD_PWM, LINK_CHANNEL };
// "IN", "GATE", "SYNC", "MOD_FREQ", "MOD_PHASE", "MOD_AMP", "MOD_PWM"; "CHANNEL_nn" for slot nn.
std::string link_port_text(LINK_PORT port, int channel);

// What one accepted change did. A parameter change carries its old and new values; a link
// change its old and new producers (no module: unconnected), or for a channel added to a
// mixer, no old producer and the new one, possibly none.
struct DOOR_CHANGE {
    MODULE_REF module;
    std::string key; // the parameter's key or the port's text, as the door takes them back
    bool is_link = false;
    double old_value = 0, new_value = 0;
    MODULE_REF old_producer, new_producer;
    // 1 when the change appended the mixer's slot (add_channel), -1 when it removed it
    // (remove_channel), 0 for a port that was there before and after.
    int slot_change = 0;
};

// "PCF_LOW HICUT 1000 -> 600", "VCA_1 IN VCO_1 -> -" for printing a change.
std::string describe_change(const DOOR_CHANGE& c);

using DOOR_OBSERVER = std::function<void(const DOOR_CHANGE&)>;

// The observers of every door of the program, called in the order they were added, on the
// thread that made the change (never the audio thread: the sweep writes no parameter).
class DOOR_OBSERVERS {
  public:
    int add(DOOR_OBSERVER observer); // returns a handle for remove
    void remove(int handle);
    bool empty() const { return list_.empty(); }
    void tell(const DOOR_CHANGE& c) const;

  private:
    std::vector<std::pair<int, DOOR_OBSERVER>> list_;
    int next_handle_ = 1;
};
DOOR_OBSERVERS& door_observers();

// The door of one graph. Parameters reach the audio thread as single-word stores the sweep
// reads either before or after; a link of the graph the callback renders is changed while the
// callback is held between blocks (audio_pause), so the sweep never sees half of it. A door
// without a graph (a panel's) sets parameters and refuses links.
class DOOR {
  public:
    explicit DOOR(GENERATOR& graph, DOOR_OBSERVERS& observers = door_observers());
    DOOR();

    // Sets a parameter when the module's kind has it and the value lies in its patch range
    // (whole numbers for whole-number parameters are taken as they come, truncated). False,
    // and nothing changed, otherwise.
    bool set(const MODULE_REF& m, const PARAM_KEY& key, double value);
    bool set(const MODULE_REF& m, const char* key, double value);
    // The parameter's value; false when the kind has no such parameter.
    bool get(const MODULE_REF& m, const PARAM_KEY& key, double& value) const;

    // Points the consumer's port at the producer. False when either module is missing, the
    // consumer has no such port or the producer offers no such signal. For CHANNEL, `channel`
    // is the slot, which must be in use already.
    bool connect(const MODULE_REF& consumer, LINK_PORT port, const MODULE_REF& producer, int channel = 0);
    // Leaves the port unconnected. False when the consumer has no such port.
    bool disconnect(const MODULE_REF& consumer, LINK_PORT port, int channel = 0);
    // The producer currently feeding a port (none when unconnected or not a module's signal).
    MODULE_REF producer_of(const MODULE_REF& consumer, LINK_PORT port, int channel = 0) const;
    // Appends a channel to a mixer fed by the producer, or unconnected for no producer; returns
    // its slot, or -1 when every slot is in use or the module is no mixer.
    int add_channel(const MODULE_REF& mixer, const MODULE_REF& producer);
    // Takes back the mixer's last channel, which must be `slot`: what add_channel appended.
    // False for any other slot, or a module that is no mixer.
    bool remove_channel(const MODULE_REF& mixer, int slot);


  private:
    template <class F> void held(F&& change);
    MODULE_REF owner_of(const void* signal) const;

    GENERATOR* graph_;
    DOOR_OBSERVERS& observers_;
};
