# Where `cmake --install` puts the tools, the window module, the manual pages, the sample images
# and the licence, and the Debian package CPack makes of the same (`cpack` in the build folder).
include(GNUInstallDirs)
install(TARGETS gdibench gdibench-inspect RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET gdibench-sdl)
  install(TARGETS gdibench-sdl LIBRARY DESTINATION ${BENCH_MODULE_DIR})
endif()
install(FILES doc/gdibench.1 doc/gdibench-inspect.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES samples/123A.jpg samples/testA.bmp DESTINATION ${CMAKE_INSTALL_DATADIR}/gdibench)
install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME gdibench)
set(CPACK_PACKAGE_VENDOR "the gdibench developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "bench that shows what bitmap capture, conversion and blitting do to pixels")
set(CPACK_PACKAGE_DESCRIPTION "A Win32 bitmap experiment bench on a portable layer: key commands run
JPEG transcoding, client-area capture, patterns and BMP drawing, and write every result as files.
gdibench-inspect turns the outputs into pictures and compares any two.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "the gdibench developers <gdibench@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # gdibench_VERSION_ARCH.deb
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)   # the libraries' packages, found by dpkg-shlibdeps (dpkg-dev)
set(CPACK_STRIP_FILES ON)
include(CPack)
