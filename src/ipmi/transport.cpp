#include "ipmi/ipmi.h"

namespace qv {

// No BMC driver is supported yet: report none, so every path uses the host.
int IpmiInit()
{
    hDevice = 0;
    ipmi_driver_option = 0;
    return -1;
}

bool bmc_proxies_isa()
{
    return bOBWinbondIPMI || bAOWinbondIPMI || bOBWinbondATenIPMI || bRenesasAMIIPMI || bRenesasATenIPMI;
}

}  // namespace qv
