# `make package`: a Debian package of what `cmake --install` installs, under /usr. Its
# library dependencies are read from the binaries by dpkg-shlibdeps (package dpkg-dev).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quarn)
set(CPACK_PACKAGE_VENDOR "the Quarn developers")
set(CPACK_PACKAGE_CONTACT "the Quarn developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "arcade air-combat game")
set(CPACK_PACKAGE_DESCRIPTION
    "A single-player, real-time 3D arcade air-combat game with its own small engine, and a\n"
    "demo game to play: pick an aircraft and two weapons, then fly missions against ground\n"
    "and air targets. Also the tools acv and quarn-inspect for the game's data.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# SDL opens the GL and EGL libraries at run time, where dpkg-shlibdeps cannot see them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1, libegl1")
# The GL library alone draws nothing without a driver; a desktop has one already.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libgl1-mesa-dri")
include(CPack)
