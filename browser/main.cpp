// lanternix-view: shows a page and hosts the plug-ins its embeds need.
#include "viewer.h"

#include <iostream>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return browser::run_viewer(args, std::cout, std::cerr);
}
