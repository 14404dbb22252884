# The web build's toolchain (the `web` preset): Emscripten's own toolchain file,
# wherever this machine's Emscripten keeps it, as em-config tells, so that the
# preset names no installation's path. emcmake does the same.
find_program(LIGHTMAP_EM_CONFIG em-config REQUIRED)
execute_process(COMMAND ${LIGHTMAP_EM_CONFIG} EMSCRIPTEN_ROOT OUTPUT_VARIABLE emscripten_root
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
include(${emscripten_root}/cmake/Modules/Platform/Emscripten.cmake)
