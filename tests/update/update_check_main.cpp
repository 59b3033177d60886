// Test driver for the update-check command until it joins the command-line tool:
// norvane-update-check [options of update-check].
#include "update/update_check_command.h"

#include <iostream>
#include <string_view>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    return norvane::update::RunUpdateCheckCommand(args, std::cout, std::cerr);
}
