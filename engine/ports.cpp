// Port helpers shared by every module: bounded copying of module names.
#include "ports.h"

void copy_name(char* dst, int capacity, const char* src) {
    if (dst == nullptr || capacity <= 0) return;
    int i = 0;
    if (src != nullptr)
        for (; i < capacity - 1 && src[i] != '\0'; ++i)
            dst[i] = src[i];
    dst[i] = '\0';
}
