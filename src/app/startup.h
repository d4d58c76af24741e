// The program: start-up order and the three modes.
#pragma once

namespace qv {

// The whole program on the installed machine; returns main's result or exits.
int quorvel_main(int argc, char** argv);

// 0 when the file can be opened for reading.
int existFile(const char* path);

}  // namespace qv
