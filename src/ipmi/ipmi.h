// The BMC over IPMI: the two transports, BMC kind recognition and the command family
// that carries chip register access through the BMC.
#pragma once

#include "ipmi/maker_driver.h"

#include <cstdint>

namespace qv {

// --- State, found at detection and kept for the process ---------------------------
struct IpmiState {
    int hDevice = 0;             // 0: no BMC; maker's driver: its descriptor; OpenIPMI: 99
    int ipmi_driver_option = 0;  // 0 none, 1 maker's driver, 2 OpenIPMI
    int fd = -1;                 // OpenIPMI descriptor
    uint16_t seqNo = 0;          // message id of the next OpenIPMI request

    // BMC kinds; at most one is set, and only on the OpenIPMI path.
    int bPepperconIPMI = 0;
    int bOBWinbondIPMI = 0;
    int bAOWinbondIPMI = 0;
    int bOBWinbondATenIPMI = 0;
    int bRenesasAMIIPMI = 0;
    int bRenesasATenIPMI = 0;

    uint8_t req_data[87] = {};
    uint8_t recv_data[80] = {};

    // The maker's driver: the request and response every Master Write-Read shares.
    ImbRequest imbData;
    uint8_t gBuf[40] = {};
    uint8_t RespBuf[40] = {};
    int RespBufLen = 0;
    uint8_t NTstatus[8] = {};

    struct Poll {
        bool detecting = false;
        bool silent = false;     // for the rest of this poll
        bool announced = false;  // the silence was reported and no answer came since
    } poll;
};

IpmiState& ipmi_state();

// True when the BMC kind proxies I/O-port (index/data) access.
bool bmc_proxies_isa();

// Back to the state before detection (no BMC, counters, buffers and polls cleared); for tests.
void reset_ipmi_state();

// A poll of the items begins: a BMC that went silent in an earlier poll is asked again.
// Within a poll, after one unanswered exchange the others fail at once.
void ipmi_begin_poll();

// How long a receive waits for the BMC before the exchange counts as failed.
inline constexpr unsigned kIpmiAnswerTimeoutMs = 5000;

// --- Transports and detection --------------------------------------------------------
int IpmiInit();
int open_imb();
int IpmiRead(uint8_t slave, uint8_t reg, uint32_t* value);
int IpmiWrite(uint8_t slave, uint8_t reg, uint8_t value);
int open_imb2();
int ipmi_cmd_req2(int descriptor, int addr_type, short channel, uint8_t slave_addr, uint8_t lun, long msgid,
                  uint8_t netfn, uint8_t cmd, int data_len, uint8_t* data);
int ipmi_cmd_recv2(int descriptor, int addr_type, short channel, uint8_t slave_addr, uint8_t lun, long msgid,
                   uint8_t netfn, uint8_t cmd, int capacity, uint8_t* response);
int checkAnyIPMI();

// --- The command family: 0 on success, 255 on a non-zero completion code ------------
int IpmiByteRead2_06_52_05(uint8_t slave, uint8_t reg, uint32_t* value);
int IpmiByteWrite2_06_52_05(uint8_t slave, uint8_t reg, uint8_t value);
int IpmiByteRead_OBWinbond_id3_06_52_07(uint8_t slave, uint8_t reg, uint32_t* value);
int IpmiByteWrite_OBWinbond_id3_06_52_07(uint8_t slave, uint8_t reg, uint8_t value);
int IpmiByteRead_Peppercon_oem_30_22_05(uint8_t slave, uint8_t reg, uint32_t* value);
int IpmiByteWrite_Peppercon_oem_30_22_05(uint8_t slave, uint8_t reg, uint8_t value);
int IpmiWordRead_oem_30_23(uint8_t slave, uint8_t reg, uint32_t* value);
int IpmiByteRead2_oem_30_0F(uint8_t slave, uint8_t reg, uint32_t* value);
int IpmiByteRead2_oem_30_70(uint8_t slave, uint8_t reg, uint32_t* value);
int IpmiByteRead_ISA_30_2C(uint8_t bank, uint8_t reg, uint32_t* value);
int IpmiWordRead_ISA_30_2C(uint8_t bank, uint8_t reg, uint32_t* value);
int IpmiByteWrite_ISA_30_2C(uint8_t bank, uint8_t reg, uint8_t value);
int IpmiByteRead_oem_30_92(uint8_t slave, uint8_t reg, uint32_t* value);
int IpmiByteRead_oem_30_92_PWSFailure(uint8_t slave, uint8_t reg, uint32_t* value);
int IpmiByteRead_oem_30_90(uint8_t slave, uint8_t bank, uint8_t reg, uint32_t* value);
int IpmiWordRead_oem_30_90(uint8_t slave, uint8_t bank, uint8_t reg, uint32_t* value);
int IpmiByteWrite_oem_30_91(uint8_t slave, uint8_t bank, uint8_t reg, uint8_t value);
int IpmiByteRead_oem_30_93(uint8_t index, uint32_t* value);
int IpmiByteRead_oem_30_95(uint8_t selector, uint32_t* value);

}  // namespace qv
