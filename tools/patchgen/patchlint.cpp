// tessaro_patchlint PATCH...: the checker of `tessaro --check`, as a program of its own.
#include "patch/patch_check.h"

int main(int argc, char** argv) {
    return check_patches(argc - 1, argv + 1);
}
