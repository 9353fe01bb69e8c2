# Debian packages with `cpack -G DEB` (make package), one per install component:
# libvelmarith1 (the library), libvelmarith-dev (headers, CMake package, pkg-config file, the
# .so link), velmarith (the command) and python3-velmarith (the Python package).
set(VELMARITH_PACKAGES runtime libvelmarith1 development libvelmarith-dev command velmarith python python3-velmarith)

# Each package carries its copyright and changelog, as Debian's policy asks.
file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/packaging)
execute_process(COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/packaging/changelog
                OUTPUT_FILE ${PROJECT_BINARY_DIR}/packaging/changelog.gz)
while(VELMARITH_PACKAGES)
  list(POP_FRONT VELMARITH_PACKAGES component package)
  string(TOUPPER ${component} COMPONENT)
  set(CPACK_DEBIAN_${COMPONENT}_PACKAGE_NAME ${package})
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${PROJECT_BINARY_DIR}/packaging/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package} COMPONENT ${component})
endwhile()

# The reference and the examples a host team starts from, beside the headers.
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/packaging/README.md.gz
  COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/README.md > ${PROJECT_BINARY_DIR}/packaging/README.md.gz
  DEPENDS ${PROJECT_SOURCE_DIR}/README.md VERBATIM)
add_custom_target(velmarith_readme ALL DEPENDS ${PROJECT_BINARY_DIR}/packaging/README.md.gz)
install(FILES ${PROJECT_BINARY_DIR}/packaging/README.md.gz DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/libvelmarith-dev
        COMPONENT development)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/libvelmarith-dev/examples
        COMPONENT development)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmarith)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The Velmarith developers <developers@velmarith.dev>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Chinese table-maintenance, lookup, input and file dialogs")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL runtime development command python)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The command links the library of another package of the same build: dpkg-shlibdeps finds it
# here and leaves the dependency on it to the line below.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR}/src)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(VELMARITH_EXACT_RUNTIME "libvelmarith1 (= ${PROJECT_VERSION})")

set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
# Qt's own texts (context menus, what a screen reader is told of actions) in Chinese.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_RECOMMENDS qt6-translations-l10n)
# The ODBC drivers of the databases the library writes SQL for.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SUGGESTS "odbc-postgresql, odbc-mariadb, libsqliteodbc")
# The dynamic linker's cache is renewed by a trigger, as Debian's libraries do. The symbols
# file tells dpkg-shlibdeps the oldest version having each symbol a host uses; the package
# check compares it with what the library exports.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/triggers ${PROJECT_SOURCE_DIR}/packaging/symbols)
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION "Chinese database dialogs for Qt 6 programs - library
 Velmarith's four modal dialogs for desktop database applications whose
 interface is Simplified Chinese: table maintenance from metadata tables,
 lookup, input box and file window, on SQLite, PostgreSQL and MariaDB or
 MySQL, also through ODBC, with an in-process component server.")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
# Compiling and linking against the shared library needs Qt's headers and nothing of the
# database clients, which the library links itself (they are libvelmarith1's dependencies).
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "${VELMARITH_EXACT_RUNTIME}, qt6-base-dev")
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION "Chinese database dialogs for Qt 6 programs - development files
 Headers, the CMake package (find_package(Velmarith) with Velmarith::Velmarith)
 and the pkg-config file of Velmarith, the library of four modal dialogs for
 Chinese desktop database applications.")

set(CPACK_DEBIAN_COMMAND_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_COMMAND_PACKAGE_DEPENDS ${VELMARITH_EXACT_RUNTIME})
set(CPACK_COMPONENT_COMMAND_DESCRIPTION "Chinese database dialogs for Qt 6 programs - command
 The velmarith command shows Velmarith's dialogs from a shell script, like
 zenity, and creates the metadata tables and the demo database.")

set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
set(CPACK_DEBIAN_PYTHON_PACKAGE_ARCHITECTURE all)
set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS "${VELMARITH_EXACT_RUNTIME}, python3")
# Byte code is compiled on installation and removed before removal (py3compile, py3clean).
set(CPACK_DEBIAN_PYTHON_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/packaging/python3-velmarith/postinst ${PROJECT_SOURCE_DIR}/packaging/python3-velmarith/prerm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_COMPONENT_PYTHON_DESCRIPTION "Chinese database dialogs for Qt 6 programs - Python 3
 The velmarith Python package: Velmarith's four dialogs from Python through the
 library's C interface, with the scripted test desktop.")

include(CPack)
