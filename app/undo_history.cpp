// The undo history's steps: gathering edits, moving back and forth, the saved position.
#include "app/undo_history.h"

#include <cstdio>

bool same_target(const EDIT& a, const EDIT& b) {
    if (a.is_panel != b.is_panel) return false;
    if (a.is_panel) return a.panel.panel == b.panel.panel;
    return a.change.module.module == b.change.module.module && a.change.is_link == b.change.is_link &&
           a.change.key == b.change.key;
}

bool joins_step(const HISTORY_STEP& last, const EDIT& e, EDIT_SOURCE source, long gesture, double now) {
    if (last.source != source || last.edits.empty()) return false;
    switch (source) {
    case SOURCE_PANEL:
        // A panel move or fold is a step of its own, and so is what follows it.
        return !e.is_panel && !last.edits.back().is_panel && last.gesture == gesture;
    case SOURCE_WHEEL:
        return same_target(last.edits.front(), e) && now - last.last < GATHER_SECONDS;
    default:
        return now - last.started < GATHER_SECONDS;
    }
}

EDIT reversed(const EDIT& e) {
    EDIT r = e;
    if (e.is_panel) {
        std::swap(r.panel.old_x, r.panel.new_x);
        std::swap(r.panel.old_y, r.panel.new_y);
        std::swap(r.panel.old_mode, r.panel.new_mode);
    } else {
        std::swap(r.change.old_value, r.change.new_value);
        std::swap(r.change.old_producer, r.change.new_producer);
        r.change.slot_change = -e.change.slot_change;
    }
    return r;
}

std::string describe_edit(const EDIT& e) {
    if (!e.is_panel) return describe_change(e.change);
    const PANEL_EDIT& p = e.panel;
    char buf[160];
    if (p.old_mode != p.new_mode)
        std::snprintf(buf, sizeof buf, " panel %s", p.new_mode == 2 ? "folded" : "unfolded");
    else
        std::snprintf(buf, sizeof buf, " panel moved %g,%g -> %g,%g", static_cast<double>(p.old_x),
                      static_cast<double>(p.old_y), static_cast<double>(p.new_x), static_cast<double>(p.new_y));
    return (p.name.empty() ? std::to_string(p.panel) : p.name) + buf;
}

void UNDO_HISTORY::record(const EDIT& e, EDIT_SOURCE source, long gesture, double now) {
    if (position_ < steps_.size()) {
        steps_.erase(steps_.begin() + static_cast<long>(position_), steps_.end());
        if (saved_ > static_cast<long>(position_)) saved_ = -1;
    }
    if (!steps_.empty() && joins_step(steps_.back(), e, source, gesture, now)) {
        HISTORY_STEP& step = steps_.back();
        step.last = now;
        for (EDIT& had : step.edits) {
            if (!same_target(had, e)) continue;
            if (e.is_panel) {
                had.panel.new_x = e.panel.new_x;
                had.panel.new_y = e.panel.new_y;
                had.panel.new_mode = e.panel.new_mode;
            } else {
                had.change.new_value = e.change.new_value;
                had.change.new_producer = e.change.new_producer;
            }
            return;
        }
        step.edits.push_back(e);
        return;
    }
    HISTORY_STEP step;
    step.edits.push_back(e);
    step.source = source;
    step.gesture = gesture;
    step.started = step.last = now;
    steps_.push_back(step);
    position_ = steps_.size();
    if (steps_.size() > limit_) {
        steps_.pop_front();
        --position_;
        saved_ = saved_ > 0 ? saved_ - 1 : -1;
    }
}

const HISTORY_STEP* UNDO_HISTORY::undo() {
    if (position_ == 0) return nullptr;
    return &steps_[--position_];
}

const HISTORY_STEP* UNDO_HISTORY::redo() {
    if (position_ >= steps_.size()) return nullptr;
    return &steps_[position_++];
}

void UNDO_HISTORY::clear() {
    steps_.clear();
    position_ = 0;
    saved_ = 0;
}

void UNDO_HISTORY::mark_saved() {
    saved_ = static_cast<long>(position_);
}

bool UNDO_HISTORY::modified() const {
    if (saved_ < 0) return true;
    const size_t a = static_cast<size_t>(saved_) < position_ ? static_cast<size_t>(saved_) : position_;
    const size_t b = static_cast<size_t>(saved_) < position_ ? position_ : static_cast<size_t>(saved_);
    for (size_t i = a; i < b; ++i)
        for (const EDIT& e : steps_[i].edits)
            if (!e.is_panel) return true;
    return false;
}
