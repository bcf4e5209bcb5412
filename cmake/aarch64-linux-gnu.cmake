# Debian arm64 (aarch64), cross-built on another Debian with multiarch
# arm64 libraries; tests run under qemu-aarch64-static. Debian's FLTK CMake
# files ask dpkg-architecture for the multiarch triplet, so export
# DEB_HOST_MULTIARCH=aarch64-linux-gnu before configuring (scripts/arm64.sh
# does).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)

set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(CMAKE_STRIP aarch64-linux-gnu-strip)
set(CMAKE_OBJCOPY aarch64-linux-gnu-objcopy)

find_program(QEMU_AARCH64 qemu-aarch64-static REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${QEMU_AARCH64})

set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE arm64)

# headers are shared, libraries come from the multiarch directories
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
