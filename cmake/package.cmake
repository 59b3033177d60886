# The Debian package: `cpack -G DEB` in the build folder. Dependencies come from the
# binaries (dpkg-shlibdeps); the maintainer scripts reload udev where it runs.
set(CPACK_PACKAGE_NAME norvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The NORVANE developers")
set(CPACK_PACKAGE_CONTACT "The NORVANE developers <norvane@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Sets what keys and buttons do, lighting, macros, mouse sensitivity stages,"
  "recoil patterns and headset audio of a family of USB gaming keyboards, mice,"
  "mousepads and headsets, with named profiles per device."
  "Includes the command-line tool norvane-ctl and a udev rule that gives the"
  "logged-in user access to the supported devices.")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The headset equaliser loads PipeWire's filter-chain module at run time (not seen by shlibdeps).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libpipewire-0.3-modules")
# libcurl is loaded on the first update check (not seen by shlibdeps either).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libcurl4 (>= 7.87.0)")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/resources/packaging/debian/postinst
                                       ${PROJECT_SOURCE_DIR}/resources/packaging/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
