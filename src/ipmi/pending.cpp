// BMC commands that are not built yet: each reports failure, so callers take their
// host paths. Removed entry by entry as the BMC support lands.
#include "ipmi/ipmi.h"

namespace qv {

namespace {
constexpr int kNoBmc = 255;
}

int open_imb() { return 0; }
int IpmiRead(uint8_t, uint8_t, uint32_t*) { return -1; }
int IpmiWrite(uint8_t, uint8_t, uint8_t) { return -1; }
int open_imb2() { return 0; }
int ipmi_cmd_req2(int, int, short, uint8_t, uint8_t, long, uint8_t, uint8_t, int, uint8_t*) { return -1; }
int ipmi_cmd_recv2(int, int, short, uint8_t, uint8_t, long, uint8_t, uint8_t, int, uint8_t*) { return -1; }
int checkAnyIPMI() { return 0; }
int IpmiByteRead2_06_52_05(uint8_t, uint8_t, uint32_t*) { return kNoBmc; }
int IpmiByteWrite2_06_52_05(uint8_t, uint8_t, uint8_t) { return kNoBmc; }
int IpmiByteRead_OBWinbond_id3_06_52_07(uint8_t, uint8_t, uint32_t*) { return kNoBmc; }
int IpmiByteWrite_OBWinbond_id3_06_52_07(uint8_t, uint8_t, uint8_t) { return kNoBmc; }
int IpmiByteRead_Peppercon_oem_30_22_05(uint8_t, uint8_t, uint32_t*) { return kNoBmc; }
int IpmiByteWrite_Peppercon_oem_30_22_05(uint8_t, uint8_t, uint8_t) { return kNoBmc; }
int IpmiWordRead_oem_30_23(uint8_t, uint8_t, uint32_t*) { return kNoBmc; }
int IpmiByteRead2_oem_30_0F(uint8_t, uint8_t, uint32_t*) { return kNoBmc; }
int IpmiByteRead2_oem_30_70(uint8_t, uint8_t, uint32_t*) { return kNoBmc; }
int IpmiByteRead_ISA_30_2C(uint8_t, uint8_t, uint32_t*) { return kNoBmc; }
int IpmiWordRead_ISA_30_2C(uint8_t, uint8_t, uint32_t*) { return kNoBmc; }
int IpmiByteWrite_ISA_30_2C(uint8_t, uint8_t, uint8_t) { return kNoBmc; }
int IpmiByteRead_oem_30_92(uint8_t, uint8_t, uint32_t*) { return kNoBmc; }
int IpmiByteRead_oem_30_92_PWSFailure(uint8_t, uint8_t, uint32_t*) { return kNoBmc; }
int IpmiByteRead_oem_30_90(uint8_t, uint8_t, uint8_t, uint32_t*) { return kNoBmc; }
int IpmiWordRead_oem_30_90(uint8_t, uint8_t, uint8_t, uint32_t*) { return kNoBmc; }
int IpmiByteWrite_oem_30_91(uint8_t, uint8_t, uint8_t, uint8_t) { return kNoBmc; }
int IpmiByteRead_oem_30_93(uint8_t, uint32_t*) { return kNoBmc; }
int IpmiByteRead_oem_30_95(uint8_t, uint32_t*) { return kNoBmc; }

}  // namespace qv
