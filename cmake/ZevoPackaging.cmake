# Install layout and packages. The installed tree has the shape of the build
# tree's bin and engine folders, so zevo-host finds the module beside itself
# and the engine at ../engine/<engine version>/ in both:
#
#   <prefix>/bin/                     zevo-host, plugEngineTARSK, the message
#                                     and logging libraries
#   <prefix>/engine/<version>/        tarsk64.dll, tarskptn.da6
#   <prefix>/include/zevo/            the ABI headers a host compiles with
#   <prefix>/examples/                minimal_host.c
#   <prefix>/README.md
#
# Packages: a .deb (installs to /opt/zevo-tarsk) and a .tar.gz on Linux, a
# ZIP on Windows; the archives hold the same tree under one top folder.
# Packaging never builds: scripts/package builds what is installed first.

set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

install(TARGETS zevo-host plugEngineTARSK zevo_msg zevo_log
  RUNTIME DESTINATION bin
  LIBRARY DESTINATION bin
  ARCHIVE DESTINATION lib EXCLUDE_FROM_ALL)
install(TARGETS tarsk_engine
  RUNTIME DESTINATION engine/${TARSK_ENGINE_VERSION}
  LIBRARY DESTINATION engine/${TARSK_ENGINE_VERSION}
  ARCHIVE DESTINATION lib EXCLUDE_FROM_ALL)
install(FILES ${PROJECT_SOURCE_DIR}/engine/tarskptn.da6 DESTINATION engine/${TARSK_ENGINE_VERSION})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/zevo DESTINATION include)
install(FILES ${PROJECT_SOURCE_DIR}/examples/minimal_host.c DESTINATION examples)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)

set(CPACK_PACKAGE_NAME zevo-tarsk)
set(CPACK_PACKAGE_VENDOR "ZEVO")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "ZEVO TARSK engine plug-in with its reference engine and reference host")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
set(CPACK_STRIP_FILES ON)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME win64)
else()
  set(CPACK_GENERATOR "DEB;TGZ")
  set(CPACK_SYSTEM_NAME Linux-x86_64)
endif()
set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${CPACK_SYSTEM_NAME})

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "ZEVO engine plug-in team")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
  /opt/zevo-tarsk/bin /opt/zevo-tarsk/engine/${TARSK_ENGINE_VERSION})
# The .deb installs under /opt; the archives keep the tree relative.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/ZevoCPackOptions.cmake)

include(CPack)
