// The maker's own BMC driver behind /dev/tmbmc: one ioctl that carries a request to
// the BMC and brings back its response.
#pragma once

#include <cstdint>

namespace qv {

inline constexpr const char* kMakerDriverPath = "/dev/tmbmc";
inline constexpr unsigned long kMakerDriverIoctl = 0x1082;

// One request to the BMC. bus_type travels nowhere; data_length counts data's bytes.
struct ImbRequest {
    uint8_t cmd = 0;
    uint8_t rs_sa = 0;
    uint8_t bus_type = 0;
    uint8_t net_fn = 0;
    uint8_t rs_lun = 0;
    const uint8_t* data = nullptr;
    int32_t data_length = 0;
};

// The argument block handed to the driver: ten words of the process's own width.
// A 32-bit build gives the 40-byte block the driver was written for; a 64-bit build
// widens each word to 64 bits, so every address in it is the process's own.
struct ImbDriverBlock {
    unsigned long reserved[3];
    unsigned long status;       // address of an 8-byte status block the driver may fill
    unsigned long input;        // address of the input buffer
    unsigned long input_length;
    unsigned long output;       // address of the output buffer: completion code, then data
    unsigned long output_length;
    unsigned long count;        // address of the 32-bit count of output bytes the driver sets
    unsigned long last;         // always 0
};
static_assert(sizeof(unsigned long) == sizeof(void*), "block words hold addresses");
static_assert(sizeof(ImbDriverBlock) == 10 * sizeof(unsigned long), "the block has no padding");

// Input buffer: flags (LE32), time-out in microseconds (LE32), responder slave address,
// command, network function, responder LUN, data length, data. The same bytes in every build.
inline constexpr int kImbHeaderSize = 13;
inline constexpr int kImbTimedBufferSize = 64;
inline constexpr int kImbAsyncBufferSize = 34;
inline constexpr unsigned kImbAsyncTimeoutMs = 1000;

// The completion code goes to completion_code; up to *response_length data bytes to
// response, and *response_length becomes the number copied. 0, or 1 when the exchange failed.
int SendTimedImbpRequest(const ImbRequest* request, int timeout_ms, uint8_t* response, int* response_length,
                         int* completion_code);
// The whole output (completion code first, at most kImbAsyncBufferSize bytes) goes to
// response; *response_length becomes its length. 0, or 1 when the exchange failed.
int SendAsyncImbpRequest(const ImbRequest* request, uint32_t* sequence, uint8_t* response, int* response_length);

}  // namespace qv
