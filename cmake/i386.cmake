# The 32-bit x86 target, built on an x86-64 host: -m32 throughout, no window (GTK+ 2
# is not installed for it), and every test program run through qemu-i386 since the
# host kernel may not execute 32-bit programs itself.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i386)
set(CMAKE_C_FLAGS_INIT -m32)
set(CMAKE_CXX_FLAGS_INIT -m32)
set(CMAKE_EXE_LINKER_FLAGS_INIT -m32)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -m32)
find_program(QUORVEL_QEMU_I386 qemu-i386 REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${QUORVEL_QEMU_I386})
set(QUORVEL_WINDOW OFF CACHE BOOL "Build the GTK+ 2 window (off: text and reset modes only)")
