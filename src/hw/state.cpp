// The hardware layer's process-wide state reset to how a new process finds it.
#include "hw/state.h"

#include "hw/gpio.h"
#include "hw/i2c_discovery.h"
#include "hw/port_access.h"
#include "hw/port_io.h"
#include "hw/smbus.h"

namespace qv {

void reset_hw_state()
{
    SMB_BASE_IO_ADDR = 0;
    IntelDevice = 0;
    ChipCode5BaseAddr[0] = 0;
    ChipCode5BaseAddr[1] = 0;
    reset_port_access();
    i2c_adapter_file = I2cAdapterFile{};
    pci_list.clear();
    modules_list.clear();
    driver_list.clear();
    i2c_bus_list.clear();
}

}  // namespace qv
