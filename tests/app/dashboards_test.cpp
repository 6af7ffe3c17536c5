// The dashboards: what the information dashboard shows, the system buttons' actions, and the
// dashboards' fold rules.
#include "app/info_dash.h"
#include "app/module_dash.h"
#include "app/system_dash.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "engine/generator.h"
#include "panels/build_panels.h"
#include "toolkit/button.h"

TEST(Dashboards, LabelTextLimitKeepsTheBoxWithin32Bits) {
    for (int size : {1, 2, 14, 1000, INFO_NAME_SIZE, INT_MAX}) {
        const size_t n = label_text_limit(size);
        EXPECT_LE(n, static_cast<size_t>(LABEL_TEXT_SIZE - 1));
        EXPECT_LE(static_cast<long long>(size) * static_cast<long long>(n), static_cast<long long>(INT_MAX));
        if (n < static_cast<size_t>(LABEL_TEXT_SIZE - 1)) {
            EXPECT_GT(static_cast<long long>(size) * static_cast<long long>(n + 1),
                      static_cast<long long>(INT_MAX));
        }
    }
    INFO_DASH info;
    const std::string long_name(799, 'M');
    set_label_text(*info.name_label, long_name.c_str());
    info.name_label->update();
    EXPECT_EQ(std::strlen(info.name_label->text), label_text_limit(INFO_NAME_SIZE));
    EXPECT_GT(info.name_label->w, 0.0f);
}

TEST(Dashboards, InfoShowsKindNameAndModeOfTheHoveredPanel) {
    GENERATOR g;
    auto* m = new MIXER();
    std::strcpy(m->name, "MIXER_4");
    GENERATOR::push_front(g.mixers, m);
    std::vector<OBJET*> panels, sequencers;
    build_panels(g, panels, sequencers);
    ASSERT_EQ(panels.size(), 1u);

    INFO_DASH info;
    EXPECT_STREQ(info.prefix, "58");
    EXPECT_EQ(find(info, "CIBLE_NAME"), info.name_label);
    EXPECT_EQ(find(info, "LABEL_TYPE"), info.type_label);
    EXPECT_EQ(find(info, "LABEL_VM"), info.mode_label);

    show_panel_info(info, panels[0]);
    EXPECT_EQ(info.shown_panel, panels[0]);
    EXPECT_STREQ(info.type_label->text, "MIXER");
    EXPECT_STREQ(info.name_label->text, "MIXER_4");
    EXPECT_STREQ(info.mode_label->text, "1");

    // A dashboard shows its address and image name and keeps the previous type.
    MODULE_DASH module;
    show_panel_info(info, &module);
    EXPECT_EQ(std::string(info.name_label->text).find(module.image) != std::string::npos, true);
    EXPECT_STREQ(info.type_label->text, "MIXER");

    // A knob under the pointer reads its value and unit in the type row, kept up to date.
    auto* mixer_panel = dynamic_cast<OBJET*>(panels[0]);
    show_item_info(info, mixer_panel, find(*mixer_panel, "SLD_CANAL_2"));
    EXPECT_STREQ(info.type_label->text, "LEVEL 1.00");
    m->level[1] = 0.5f;
    info.update();
    EXPECT_STREQ(info.type_label->text, "LEVEL 0.50");

    info.dirty = 0;
    clear_panel_info(info);
    EXPECT_EQ(info.shown_panel, nullptr);
    EXPECT_EQ(info.dirty, 1);
    EXPECT_NE(std::strlen(info.name_label->text), 0u);

    // The information dashboard never folds; the others do.
    info.set_mode(0);
    EXPECT_EQ(info.mode, MODE_FRONT);
    module.set_mode(0);
    EXPECT_EQ(module.mode, MODE_FOLDED);
    for (OBJET* p : panels)
        delete p;
}

TEST(Dashboards, SystemButtonsActOnReleaseOnly) {
    EXPECT_EQ(dash_actions("60_BUTTON_SAVE"), unsigned(REQUEST_SAVE));
    EXPECT_EQ(dash_actions("60_BUTTON_LOAD"), unsigned(REQUEST_LOAD));
    EXPECT_EQ(dash_actions("60_BUTTON_FILS"), unsigned(REQUEST_CABLES));
    EXPECT_EQ(dash_actions("60_BUTTON_NEW"), unsigned(REQUEST_NEW));
    EXPECT_EQ(dash_actions("60_BUTTON_OTHER"), 0u);

    SYSTEM_DASH dash;
    EXPECT_STREQ(dash.prefix, "60");
    BUTTON* save = dynamic_cast<BUTTON*>(find(dash, "BUTTON_SAVE"));
    BUTTON* load = dynamic_cast<BUTTON*>(find(dash, "BUTTON_LOAD"));
    ASSERT_NE(save, nullptr);
    ASSERT_NE(load, nullptr);
    post(dash, make_event_message(EVENT_MOUSE_DOWN, save));
    dash.update();
    EXPECT_EQ(take_dash_requests({&dash}), 0u);
    post(dash, make_event_message(EVENT_MOUSE_UP, save));
    post(dash, make_event_message(EVENT_MOUSE_UP, load));
    post(dash, make_named_message(nullptr, 0, "TOUCH_IN", save));
    dash.update();
    // The requests wait until the frame loop takes them, after the drawing that called update.
    OBJET other(0, 0, "58");
    std::vector<OBJET*> list = {&other, &dash};
    EXPECT_EQ(take_dash_requests(list), unsigned(REQUEST_SAVE | REQUEST_LOAD));
    EXPECT_EQ(take_dash_requests(list), 0u);
    EXPECT_TRUE(dash.messages.empty());
    EXPECT_EQ(save->state, 0); // the records never reach the buttons
    EXPECT_EQ(dash.dirty, 1);
}
