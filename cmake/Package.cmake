# The Debian package (scripts/package): `cpack -G DEB` in the build folder
# makes vantrelle_<version>_<arch>.deb from the install rules. The run-time
# dependencies come from the shared libraries the programs link
# (dpkg-shlibdeps), so the package asks for exactly the Qt modules in use.

# Packing builds only what is installed (scripts/package builds those
# targets first), not the tests and benchmarks of the whole tree.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(CPACK_PACKAGE_NAME vantrelle)
set(CPACK_PACKAGE_VENDOR "Vantrelle")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tuning application for the Vantrelle calibration emulator box")
set(CPACK_PACKAGE_CONTACT "Vantrelle developers <vantrelle@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGE_DESCRIPTION
  "Vantrelle edits the tune of an engine computer held in the Vantrelle\n\
calibration emulator box (fuel and timing maps, limiters, injector and\n\
small tables), moves it to and from the box over its serial link, keeps\n\
it in project files and raw images, and shows and logs live engine data\n\
from a LabJack U12. Includes the command-line tool vantrelle-cli and the\n\
simulated box vantrelle-boxsim.")
# Qt finds its platform plugins (the X11 and Wayland windows) at run time:
# nothing links them, so they are named here; dpkg-shlibdeps adds the rest.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# The 3D map view draws through OpenGL: a driver for it is wanted, not
# linked.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libgl1-mesa-dri")

set(CPACK_GENERATOR DEB)
include(CPack)
