// The display tests' main. The X11, D-Bus and driver libraries SDL loads keep allocations
// for the life of the process and are unloaded by SDL_Quit, so the leak check cannot even
// name them; this program checks the display's behaviour, and the leak check stays on for
// every other test program.
#include <gtest/gtest.h>

extern "C" const char* __lsan_default_options() {
    return "detect_leaks=0";
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
