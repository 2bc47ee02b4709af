# The Debian package, made by `cpack` (or the `package` target) in a build
# tree after the normal build; the normal build never makes it.
#
#   cpack -G DEB --config <build>/CPackConfig.cmake -B <output directory>

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME permoroplus)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The ペルモロプラス developers")
set(CPACK_PACKAGE_CONTACT "The PermoroPlus developers <permoroplus@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "arithmetic drill game for children")
set(CPACK_PACKAGE_DESCRIPTION
"ペルモロプラス (PermoroPlus) is a one-minute arithmetic game. Three sums fall
down the window, each at its own pace, with three answer buttons each: the
result and two near misses. A right answer earns points and brings a fresh
sum; a wrong one wipes the score. Six animal courses lead from single-digit
additions to two-digit additions and subtractions.")
set(CPACK_PACKAGE_HOMEPAGE_URL https://github.com/permoroplus/permoroplus)
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Section education: Debian keeps the games section for programs in /usr/games.
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The runtime dependencies, from the libraries the program links.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
find_program(PERMORO_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(NOT PERMORO_DPKG_SHLIBDEPS)
    message(STATUS "dpkg-shlibdeps not found (package dpkg-dev): the Debian package cannot be made here")
endif()

# `package_source`: the sources without version control or build trees.
set(CPACK_SOURCE_GENERATOR TXZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build/" "/__pycache__/")

include(CPack)
