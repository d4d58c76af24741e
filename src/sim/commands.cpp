#include "sim/devices.h"

#include <cerrno>
#include <string>

namespace qv::sim {

void add_standard_commands(Machine& machine)
{
    // rm -f PATH: the one removal the program asks the shell for.
    machine.add_command({
        [](std::string_view command) { return command.starts_with("rm -f "); },
        [&machine](std::string_view command, std::string&) {
            const std::string path(command.substr(6));
            if (machine.read_only(path)) return 1;
            machine.sandbox.remove(path);
            return 0;
        },
    });
}

}  // namespace qv::sim
