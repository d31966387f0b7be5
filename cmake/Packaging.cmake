# Debian package of the program: `scripts/package` builds it with `cpack` in build-package/.
# Included last, so that every program target is known here.

if(TARGET orvane-report)
  install(TARGETS orvane-report RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/orvane)

# What the package holds, to build without the tests and benchmarks.
add_custom_target(orvane-package-programs)
add_dependencies(orvane-package-programs orvane)
if(TARGET orvane-report)
  add_dependencies(orvane-package-programs orvane-report)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Orvane maintainers")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "IT department administration desktop tool")
set(CPACK_PACKAGE_DESCRIPTION
    "Keeps a register of antivirus products and, per business unit, of
workstations with the expiry of their protection; lists and reports them
and exports the lists to .xls workbooks; watches the branch networks with
a ping monitor. Works against a MariaDB server through unixODBC and
MariaDB Connector/ODBC.")

set(CPACK_DEBIAN_PACKAGE_NAME orvane)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Orvane maintainers <maintainers@orvane.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION admin)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Shared libraries from dpkg-shlibdeps; the driver and the driver manager the connection texts
# need are loaded at run time, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "odbc-mariadb, unixodbc")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${CMAKE_CURRENT_SOURCE_DIR}/packaging/deb/postinst ${CMAKE_CURRENT_SOURCE_DIR}/packaging/deb/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
