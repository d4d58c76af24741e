// quorvel: the program on the real machine.
#include "app/startup.h"
#include "platform/linux_os.h"

int main(int argc, char** argv)
{
    static qv::platform::LinuxOs machine;
    qv::platform::set_os(&machine);
    return qv::quorvel_main(argc, argv);
}
