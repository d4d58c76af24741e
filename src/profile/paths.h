// Files of the system that the profile subsystem reads and writes.
#pragma once

namespace qv {

inline constexpr const char* QUORVEL_INI = "/etc/Quorvel.ini";
inline constexpr const char* QUORVEL_INI_OLD = "/etc/Quorvel.ini.old";
inline constexpr const char* ALL_QUORVEL_INI = "/etc/AllQuorvel.ini";
inline constexpr const char* OLD_REV_MB_INI = "/etc/OldRevMB.ini";
inline constexpr const char* OLD_REV_MB_2_INI = "/etc/OldRevMB_2.ini";
inline constexpr const char* OLD_REV_MB_3_INI = "/etc/OldRevMB_3.ini";

}  // namespace qv
