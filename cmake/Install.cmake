# What `cmake --install` puts in place, in components the Debian packages are made of:
# runtime (the library), development (headers, CMake package, pkg-config file, the .so link)
# and command (bin/velmarith). Every path is relative to the prefix, so the tree may be moved.
include(CMakePackageConfigHelpers)

set(VELMARITH_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Velmarith)

install(TARGETS Velmarith EXPORT VelmarithTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT development)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/velmarith ${PROJECT_BINARY_DIR}/include/velmarith
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT development)
install(EXPORT VelmarithTargets NAMESPACE Velmarith:: DESTINATION ${VELMARITH_CMAKE_DIR} COMPONENT development)

configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/VelmarithConfig.cmake.in
  ${PROJECT_BINARY_DIR}/VelmarithConfig.cmake INSTALL_DESTINATION ${VELMARITH_CMAKE_DIR})
# The SONAME changes with the major version only.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/VelmarithConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/VelmarithConfig.cmake ${PROJECT_BINARY_DIR}/VelmarithConfigVersion.cmake
  DESTINATION ${VELMARITH_CMAKE_DIR} COMPONENT development)

file(RELATIVE_PATH VELMARITH_PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
configure_file(${CMAKE_CURRENT_LIST_DIR}/velmarith.pc.in ${PROJECT_BINARY_DIR}/velmarith.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/velmarith.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT development)

if(TARGET velmarith)
  install(TARGETS velmarith RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT command)
  # In /usr (the Debian packages) the system finds the library; a search path there is a fault.
  install(CODE [[
    if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
      file(RPATH_REMOVE FILE "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin/velmarith")
    endif()]] COMPONENT command)
endif()
