# `cpack -G DEB` in a build folder makes a Debian package of what `cmake --install` installs.
# The shared libraries the programs link come in through dpkg-shlibdeps; what they load at run
# time or only look better with is named here.
set(ZARVEL_PACKAGE_CONTACT "The Zarvel developers" CACHE STRING
    "Maintainer of the Debian package (\"Name <address>\")")

set(CPACK_PACKAGE_NAME zarvel)
set(CPACK_PACKAGE_VENDOR "The Zarvel developers")
set(CPACK_PACKAGE_CONTACT "${ZARVEL_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "word processor that assembles letters and forms from templates")
set(CPACK_PACKAGE_DESCRIPTION
    "Zarvel is a rich text word processor whose special feature is document assembly: a
template holds the wording and formatting of a letter or form with numbered placeholders
(@1, @2, ...), an information file holds the values of one case, and Do It merges them into
the finished document. zarvel-cli merges whole batches of cases from the shell.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The fonts stand in, with the same metrics, for the fonts the windows and documents name.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, fonts-dejavu-core")
# Native windows in a Wayland session (without it the program runs through XWayland); the
# file type and menu caches are refreshed by these packages' triggers.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, shared-mime-info, desktop-file-utils")

include(CPack)
