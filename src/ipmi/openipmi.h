// The exchange every OpenIPMI command of the program makes, for the detection and the
// command family.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qv {

// Sends ipmi_state().req_data[0..data_len) to the BMC itself with the current message id, waits for
// the answer to that id in ipmi_state().recv_data, and steps the message id. received is the
// number of response bytes (completion code first). 0, or non-zero when no answer came.
int ipmi_exchange(uint8_t netfn, uint8_t cmd, int data_len, std::size_t& received);

}  // namespace qv
