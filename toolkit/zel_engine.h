// The root of every toolkit item: serial number, name and the first virtual slots.
#pragma once
#include <cstdint>

constexpr int ITEM_NAME_SIZE = 80;

// Serial number given to the next item constructed; it counts every item ever built.
extern uint32_t next_item_id;

class ZEL_ENGINE {
  public:
    uint32_t id;
    char name[ITEM_NAME_SIZE];

    ZEL_ENGINE();
    virtual ~ZEL_ENGINE();
    virtual int update();
    virtual int reserved(int a, int b);

    // Copies the name, cut to its first 79 characters.
    void set_name(const char* text);
};
