// Writing a module graph as a patch file: one declaration line per module, one link line per
// connected module, and the whole file around them.
#pragma once
#include <cstdio>
#include <string>

#include "engine/generator.h"
#include "module_order.h"

// The objects-section line of one module, line end included. Reals are written with nine
// significant digits, enough to read back the same float.
void write_declaration(FILE* f, const VCO& m);
void write_declaration(FILE* f, const VCA& m);
void write_declaration(FILE* f, const MIXER& m);
void write_declaration(FILE* f, const SEQUENCER& m);
void write_declaration(FILE* f, const PCF& m);
void write_declaration(FILE* f, const KEYBOARD& m);
void write_declaration(FILE* f, const SAMPLER& m);

// The sequencer's declaration is one word holding every step cell that differs from its
// default, in every pattern.
std::string sequencer_word(const SEQUENCER& m);

// The links-section line of one module: its name, then one field per connected port naming
// the source module. A module without connections (and a keyboard, which has no inputs)
// writes nothing. Sources are found in g by the address the port holds. Returns whether a
// line was written.
bool write_links(FILE* f, const GENERATOR& g, const MODULE_REF& m);
bool write_links(FILE* f, const GENERATOR& g, const VCO& m);

// The whole patch: declarations so that reading them rebuilds every list in its order, then
// the links. False when the stream reports a write error.
bool write_patch(FILE* f, const GENERATOR& g);
