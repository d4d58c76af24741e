// The program: start-up order and the three modes.
#pragma once

#include "app/prepare.h"  // existFile

namespace qv {

// The whole program on the installed machine; returns main's result or exits.
int quorvel_main(int argc, char** argv);

}  // namespace qv
