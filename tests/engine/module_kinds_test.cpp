// The kinds table: every row reaches its own graph list and offers the fields its ports name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/kind_keys.h"
#include "engine/module_kinds.h"
#include "engine/modules.h"

namespace {

// The field a link to the port sets on a module of the kind; null when the kind lacks it.
const void* port_field(const MODULE_PORTS& p, PORT port) {
    switch (port) {
    case PORT_INPUT:
        return p.input;
    case PORT_GATE:
        return p.gate_in;
    case PORT_SYNC:
        return p.sync_in;
    case PORT_MOD_FREQ:
        return p.mod_freq;
    case PORT_MOD_PHASE:
        return p.mod_phase;
    case PORT_MOD_AMP:
        return p.mod_amp;
    case PORT_MOD_PWM:
        return p.mod_pwm;
    case PORT_CHANNEL:
    case PORT_SLOT:
        return p.mixer;
    }
    return nullptr;
}

} // namespace

TEST(ModuleKinds, EveryRowReachesItsListAndTheFieldsItsPortsName) {
    for (int k = 0; k < KIND_COUNT; ++k) {
        const MODULE_KIND kind = static_cast<MODULE_KIND>(k);
        const MODULE_KIND_INFO& info = kind_info(kind);
        SCOPED_TRACE(info.patch_word);
        ASSERT_EQ(info.kind, kind);
        const MODULE_ACCESS& a = *info.access;
        GENERATOR g;

        // Modules join in front of the list, the last read first, names cut to their array.
        const std::string long_name(info.access->name_capacity + 10, 'N');
        void* first = a.create("FIRST");
        void* second = a.create(long_name.c_str());
        a.join(g, {first, second});
        void* third = a.create("THIRD");
        a.join(g, {third});
        ASSERT_EQ(a.count(g), 3u);
        EXPECT_EQ(module_count(g, kind), 3u);
        EXPECT_EQ(total_modules(g), 3u);
        EXPECT_EQ(a.at(g, 0), third);
        EXPECT_EQ(a.at(g, 1), second);
        EXPECT_EQ(a.at(g, 2), first);
        EXPECT_STREQ(a.name(first), "FIRST");
        EXPECT_EQ(std::string(a.name(second)), long_name.substr(0, a.name_capacity - 1));

        // Every port a link can set exists on the module, and every source a gate or sync
        // port accepts offers that signal.
        EXPECT_NE(a.outputs(first).value, nullptr);
        for (int r = 0; r < info.port_count; ++r) {
            const PORT_RULE& rule = info.ports[r];
            EXPECT_NE(port_field(a.ports(first), rule.port), nullptr) << rule.key;
            if (rule.port != PORT_GATE && rule.port != PORT_SYNC) continue;
            for (int s = 0; s < rule.source_count; ++s) {
                const MODULE_ACCESS& source = *kind_info(rule.sources[s]).access;
                void* m = source.create("SOURCE");
                const MODULE_OUTPUTS out = source.outputs(m);
                EXPECT_NE(rule.port == PORT_GATE ? out.gate : out.sync, nullptr)
                    << rule.key << " from " << kind_info(rule.sources[s]).patch_word;
                GENERATOR owner;
                source.join(owner, {m});
            }
        }
    }
}
