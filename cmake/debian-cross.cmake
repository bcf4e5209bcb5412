# Debian's other architectures, cross-built on Debian with its cross
# compilers and the architecture's multiarch libraries; tests run under
# qemu-user-static. MERRIVANE_DEB_ARCH names the architecture (arm64,
# armel, armhf, i386, mips64el, mipsel, ppc64el, riscv64 or s390x).
# Debian's FLTK CMake files ask dpkg-architecture for the multiarch
# triplet, so export DEB_HOST_MULTIARCH before configuring (scripts/cross.sh
# does both).
set(MERRIVANE_DEB_ARCH "" CACHE STRING "Debian architecture to build for")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES MERRIVANE_DEB_ARCH)

# architecture: GNU triplet of its compilers, multiarch triplet, CPU, qemu
set(_arm64 aarch64-linux-gnu aarch64-linux-gnu aarch64 aarch64)
set(_armel arm-linux-gnueabi arm-linux-gnueabi armv5tel arm)
set(_armhf arm-linux-gnueabihf arm-linux-gnueabihf armv7l arm)
set(_i386 i686-linux-gnu i386-linux-gnu i686 i386)
set(_mips64el mips64el-linux-gnuabi64 mips64el-linux-gnuabi64 mips64 mips64el)
set(_mipsel mipsel-linux-gnu mipsel-linux-gnu mips mipsel)
set(_ppc64el powerpc64le-linux-gnu powerpc64le-linux-gnu ppc64le ppc64le)
set(_riscv64 riscv64-linux-gnu riscv64-linux-gnu riscv64 riscv64)
set(_s390x s390x-linux-gnu s390x-linux-gnu s390x s390x)
if(NOT DEFINED _${MERRIVANE_DEB_ARCH})
  message(FATAL_ERROR "MERRIVANE_DEB_ARCH is '${MERRIVANE_DEB_ARCH}', not one of arm64 armel armhf i386 mips64el mipsel ppc64el riscv64 s390x")
endif()
list(GET _${MERRIVANE_DEB_ARCH} 0 _gnu)
list(GET _${MERRIVANE_DEB_ARCH} 1 _multiarch)
list(GET _${MERRIVANE_DEB_ARCH} 2 _cpu)
list(GET _${MERRIVANE_DEB_ARCH} 3 _qemu)

set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${_cpu})
set(CMAKE_LIBRARY_ARCHITECTURE ${_multiarch})

set(CMAKE_C_COMPILER ${_gnu}-gcc)
set(CMAKE_CXX_COMPILER ${_gnu}-g++)
set(CMAKE_STRIP ${_gnu}-strip)
set(CMAKE_OBJCOPY ${_gnu}-objcopy)

find_program(MERRIVANE_QEMU qemu-${_qemu}-static REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${MERRIVANE_QEMU})

set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${MERRIVANE_DEB_ARCH})

# pkg-config reads the architecture's own .pc files, never this machine's
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/${_multiarch}/pkgconfig:/usr/share/pkgconfig)

# headers are shared, libraries come from the multiarch directories
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
