# The Debian packages: `cpack -G DEB` in the native build folder writes one
# .deb a part, so that a user takes only what their programs load. They
# install under /usr, into the folders melt, Kdenlive, GStreamer and OBS
# search by themselves:
#   glimmerscatterweft         the command-line renderer glimmer (it runs
#                              ffmpeg for every video), the README and its
#                              pictures;
#   glimmerscatterweft-mlt     the frei0r plug-in in lib/frei0r-1, the MLT
#                              module in MLT's module folder and the Kdenlive
#                              descriptions in share/kdenlive/transitions;
#   obs-glimmerscatterweft     the OBS transition and its settings files.
# None depends on another; dpkg-shlibdeps finds libmlt7 and libobs0.
if(WIN32)
  return()
endif()

install(FILES README.md DESTINATION share/doc/glimmerscatterweft COMPONENT renderer)
install(DIRECTORY docs/ DESTINATION share/doc/glimmerscatterweft/docs COMPONENT renderer
  FILES_MATCHING PATTERN "*.png")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME glimmerscatterweft)
set(CPACK_PACKAGE_VENDOR "The Glimmerscatterweft developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "video transition: image A dissipates and reveals image B")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Glimmerscatterweft developers <glimmerscatterweft@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEB_COMPONENT_INSTALL ON)
# Library dependencies from dpkg-shlibdeps (dpkg-dev), per package; the
# programs that load a plug-in are only recommended.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)

set(CPACK_COMPONENTS_ALL renderer)
if(TARGET glimmerscatterweft OR TARGET mltglimmerscatterweft)
  list(APPEND CPACK_COMPONENTS_ALL editors)
endif()
if(TARGET glimmerscatterweft_obs)
  list(APPEND CPACK_COMPONENTS_ALL obs)
endif()

set(glimmer_intro "Glimmerscatterweft breaks image A into pixels or cells that wait, fly off under\n\
gravity and wind, live a while and vanish, revealing image B.")
set(CPACK_DEBIAN_RENDERER_PACKAGE_NAME glimmerscatterweft)
set(CPACK_DEBIAN_RENDERER_PACKAGE_DEPENDS ffmpeg)
set(CPACK_COMPONENT_RENDERER_DESCRIPTION "video transition: the command-line renderer glimmer\n\
${glimmer_intro} glimmer renders it on\npictures and clips, joins any number of clips and pictures with it and\nwrites settings files.")
set(CPACK_DEBIAN_EDITORS_PACKAGE_NAME glimmerscatterweft-mlt)
# Suggested, not recommended: whoever installs it for one of these hosts has
# that host already, and should not get the other two with it.
set(CPACK_DEBIAN_EDITORS_PACKAGE_SUGGESTS "kdenlive, melt, gstreamer1.0-plugins-bad")
set(CPACK_COMPONENT_EDITORS_DESCRIPTION "video transition for MLT, Kdenlive and GStreamer\n\
${glimmer_intro} This package holds an\nMLT transition module with its Kdenlive composition and a frei0r mixer.")
set(CPACK_DEBIAN_OBS_PACKAGE_NAME obs-glimmerscatterweft)
set(CPACK_DEBIAN_OBS_PACKAGE_RECOMMENDS obs-studio)
set(CPACK_COMPONENT_OBS_DESCRIPTION "video transition for OBS Studio\n\
${glimmer_intro} This package holds the\nOBS Studio transition and its named looks as settings files.")
include(CPack)
