# Cross build for 64-bit Windows with Debian's MinGW-w64 (`make windows`), against
# the Universal C runtime that current Windows toolchains use rather than the old
# msvcrt.dll that MinGW-w64 links by default. Everything but the system DLLs is
# linked statically, so the exe needs nothing beside it. Libraries built for this
# target (freeglut) are found under LIGHTMAP_WINDOWS_PREFIX.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(triplet x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triplet}-gcc)
set(CMAKE_CXX_COMPILER ${triplet}-g++)
set(CMAKE_RC_COMPILER ${triplet}-windres)

# Try-compile projects read this file again; they need the prefix too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES LIGHTMAP_WINDOWS_PREFIX)
set(CMAKE_FIND_ROOT_PATH /usr/${triplet} ${LIGHTMAP_WINDOWS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# UCRT: _UCRT makes the headers declare the UCRT's functions, and a specs file,
# made from the compiler's own, links ucrt where it would link msvcrt. Every
# library of the exe must be built with both, or it links against the other CRT.
execute_process(COMMAND ${CMAKE_C_COMPILER} -dumpspecs OUTPUT_VARIABLE specs
                RESULT_VARIABLE specs_result)
if(NOT specs_result EQUAL 0 OR NOT specs MATCHES "-lmsvcrt")
  message(FATAL_ERROR "${CMAKE_C_COMPILER} -dumpspecs gave no -lmsvcrt to replace")
endif()
string(REPLACE "-lmsvcrt" "-lucrt" specs "${specs}")
file(WRITE ${CMAKE_BINARY_DIR}/ucrt.specs "${specs}")
set(ucrt_flags "-D_UCRT -specs=${CMAKE_BINARY_DIR}/ucrt.specs")
set(CMAKE_C_FLAGS_INIT "${ucrt_flags}")
set(CMAKE_CXX_FLAGS_INIT "${ucrt_flags}")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
