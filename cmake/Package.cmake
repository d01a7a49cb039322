# What an installation holds, and the Debian package made of it by cpack
# (cpack -G DEB in the build folder). The program and its help live in a
# folder of their own (the help is looked for beside the program); the
# launcher in bin starts it on the user's own installation, VELMORA_HOME.
set(CMAKE_INSTALL_DOCDIR share/doc/velmora)
include(GNUInstallDirs)
set(VELMORA_LIBDIR "lib/velmora")  # the launcher finds the program there

if(VELMORA_UI)
  install(TARGETS velmora RUNTIME DESTINATION ${VELMORA_LIBDIR})
  install(DIRECTORY docs/help DESTINATION ${VELMORA_LIBDIR})
  install(PROGRAMS packaging/velmora.sh DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME velmora)
  install(FILES packaging/velmora.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES packaging/velmora.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()
install(TARGETS velmora-sql velmora-batch RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES README.md docs/glossary.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Velmora")
set(CPACK_PACKAGE_CONTACT "Velmora <velmora@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Otthoni hospice szolgáltatók elszámolási programja")
set(CPACK_PACKAGE_DESCRIPTION "Billing sheets of home-hospice care, their checks, the monthly dBASE shipment to the insurance fund, its answers, reports, backup and restore.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The build keeps its debugging information; the package does not.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# The libraries' packages come from the binaries themselves; the archiver,
# the fonts the reports are laid out in and the browser's runtime are
# needed without being linked.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "arj, fonts-liberation")
include(CPack)
