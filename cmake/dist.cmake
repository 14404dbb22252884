# What each build installs, and CPack's package of it (`make dist`, into dist/):
# the Windows build a zip, the web build a zip of the page, and the Linux build
# a Debian package. The version is the project's, in every file name.
set(CPACK_PACKAGE_NAME lightmap)
set(CPACK_PACKAGE_VENDOR "The lightmap authors")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "light-mapping demonstration in OpenGL 1.x")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(images ${CMAKE_BINARY_DIR}/light.bmp ${CMAKE_BINARY_DIR}/wall.bmp)

if(EMSCRIPTEN)
  # The page's files, ready for any static host.
  install(FILES ${web_page_files} ${CMAKE_BINARY_DIR}/lightmap.js ${CMAKE_BINARY_DIR}/lightmap.wasm ${images}
                ${PROJECT_SOURCE_DIR}/LICENSE
          DESTINATION .)
  install(DIRECTORY ${web_scripts_dir} DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME lightmap-${PROJECT_VERSION}-web)
elseif(WIN32)
  # The exe with its images, and the licence and a short README as Windows text.
  configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${CMAKE_BINARY_DIR}/LICENSE.txt NEWLINE_STYLE CRLF)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/README.txt ${CMAKE_BINARY_DIR}/README.txt @ONLY
                 NEWLINE_STYLE CRLF)
  install(TARGETS lightmap DESTINATION .)
  install(FILES ${images} ${CMAKE_BINARY_DIR}/LICENSE.txt ${CMAKE_BINARY_DIR}/README.txt DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME lightmap-${PROJECT_VERSION}-windows-x64)
else()
  # Debian's layout: the program in /usr/lib/lightmap, its images in
  # /usr/share/lightmap, and /usr/bin/lightmap the launcher that starts it there.
  set(VERSION ${PROJECT_VERSION})
  foreach(file changelog lightmap.1)
    configure_file(${PROJECT_SOURCE_DIR}/packaging/${file} ${CMAKE_BINARY_DIR}/${file} @ONLY)
    execute_process(COMMAND gzip -9nf ${CMAKE_BINARY_DIR}/${file})
  endforeach()
  install(FILES ${CMAKE_BINARY_DIR}/lightmap.1.gz DESTINATION share/man/man1)
  install(TARGETS lightmap DESTINATION lib/lightmap)
  install(FILES ${images} DESTINATION share/lightmap)
  install(PROGRAMS ${PROJECT_SOURCE_DIR}/packaging/lightmap DESTINATION bin)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/lightmap.desktop DESTINATION share/applications)
  foreach(size 64 128)
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/lightmap-${size}.png
            DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME lightmap.png)
  endforeach()
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${CMAKE_BINARY_DIR}/changelog.gz
          DESTINATION share/doc/lightmap)
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The lightmap authors <maintainers@lightmap.example>")
  # The synopsis is CPACK_PACKAGE_DESCRIPTION_SUMMARY; CPack indents these lines.
  set(CPACK_PACKAGE_DESCRIPTION "One GLUT window shows a square whose colour is a 256x256 wall image
multiplied by a 32x32 light map, drawn in one pass with two texture units
through the ARB_multitexture extension. It reads light.bmp and wall.bmp;
the launcher starts it in the folder of the packaged pair.")
endif()
include(CPack)
