# Debian package of the program: `scripts/package` builds it with `cpack` in build-package/.
# Included last, so that every program target is known here.

if(TARGET orvane-report)
  install(TARGETS orvane-report RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/orvane)

# Manual pages and the changelog are installed compressed (gzip -9n: no name, no time stamp, so
# the package is the same on every build); the copyright file stays plain, as Debian wants.
set(ORVANE_DOC_DIR ${CMAKE_CURRENT_BINARY_DIR}/doc)
set(ORVANE_GZIPPED)
foreach(source docs/man/orvane.1 docs/man/orvane-report.1 docs/man/orvane-import.1
               packaging/deb/changelog)
  get_filename_component(name ${source} NAME)
  add_custom_command(OUTPUT ${ORVANE_DOC_DIR}/${name}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ORVANE_DOC_DIR}
    COMMAND sh -c "gzip -9n -c \"$0\" >\"$1\"" ${CMAKE_CURRENT_SOURCE_DIR}/${source}
            ${ORVANE_DOC_DIR}/${name}.gz
    DEPENDS ${source} VERBATIM)
  list(APPEND ORVANE_GZIPPED ${ORVANE_DOC_DIR}/${name}.gz)
endforeach()
add_custom_target(orvane-docs ALL DEPENDS ${ORVANE_GZIPPED})
install(FILES ${ORVANE_DOC_DIR}/orvane.1.gz ${ORVANE_DOC_DIR}/orvane-report.1.gz
              ${ORVANE_DOC_DIR}/orvane-import.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# A native package (its version has no Debian revision): the changelog is changelog.gz.
install(FILES ${ORVANE_DOC_DIR}/changelog.gz packaging/deb/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/orvane)

# What the package holds, to build without the tests and benchmarks.
add_custom_target(orvane-package-programs)
add_dependencies(orvane-package-programs orvane orvane-docs)
foreach(program orvane-report orvane-import)
  if(TARGET ${program})
    add_dependencies(orvane-package-programs ${program})
  endif()
endforeach()

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
and exports the lists to .xls and .xlsx workbooks; watches the branch
networks with a ping monitor. Works against a MariaDB server through
unixODBC and MariaDB Connector/ODBC.
The orvane-report command writes the expiry report without a display,
for cron and scripts: an .xls or .xlsx workbook, CSV or a table.")

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
