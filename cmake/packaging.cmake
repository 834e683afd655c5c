# The Debian package: `cpack -G DEB` in the native build folder writes
# glimmerscatterweft_<version>_<arch>.deb. It installs under /usr, into the
# folders melt, Kdenlive and GStreamer search by themselves: the frei0r
# plug-in in lib/frei0r-1, the MLT module in MLT's own module folder, the
# Kdenlive descriptions in share/kdenlive/transitions; glimmer and the
# README with its pictures come along.
if(WIN32)
  return()
endif()

install(FILES README.md DESTINATION share/doc/glimmerscatterweft)
install(DIRECTORY docs/ DESTINATION share/doc/glimmerscatterweft/docs FILES_MATCHING PATTERN "*.png")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME glimmerscatterweft)
set(CPACK_PACKAGE_VENDOR "The Glimmerscatterweft developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "video transition: image A dissipates and reveals image B")
set(CPACK_PACKAGE_DESCRIPTION "Glimmerscatterweft breaks image A into pixels or cells that wait, fly off under\n\
gravity and wind, live a while and vanish, revealing image B. This package holds\n\
the command-line renderer glimmer, the frei0r mixer for MLT and GStreamer, an MLT\n\
transition module and its Kdenlive composition.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Glimmerscatterweft developers <glimmerscatterweft@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION video)
# Library dependencies from dpkg-shlibdeps (dpkg-dev); the programs that load
# the plug-ins are only recommended.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "melt, kdenlive, gstreamer1.0-plugins-bad")
set(CPACK_STRIP_FILES ON)
include(CPack)
