// quorvel-export: the program on the real machine.
#include "export/export_main.h"
#include "platform/linux_os.h"

int main(int argc, char** argv)
{
    static qv::platform::LinuxOs machine;
    qv::platform::set_os(&machine);
    return qv::exporter::export_main(argc, argv);
}
