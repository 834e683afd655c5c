# The engine and its suites as 32-bit x86 Linux programs: the same i686 code
# generation as the plug-in's, for machines whose kernel runs no 32-bit code
# (so no wine32 either). qemu-user runs the suites there; "max" lets the
# AVX2 kernel set run too.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(CMAKE_C_FLAGS_INIT -m32)
set(CMAKE_CXX_FLAGS_INIT -m32)
# Static, so qemu needs no 32-bit loader or libraries on the machine.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32 -static")

set(CMAKE_CROSSCOMPILING_EMULATOR qemu-i386-static -cpu max)
set(GLIMMER_ENGINE_ONLY ON CACHE BOOL "" FORCE)
set(GLIMMER_BENCH OFF CACHE BOOL "" FORCE)
