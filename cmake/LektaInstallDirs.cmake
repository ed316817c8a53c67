# Where an installed program keeps its files (GNU layout: the multiarch
# library folder on Debian when the prefix is /usr). The program finds them
# from its own folder, so the folders are also given relative to the
# executable's; they stay right wherever the prefix is moved (DESTDIR, a
# package).
include(GNUInstallDirs)
set(LEKTA_INSTALL_LIBRARY_DIR ${CMAKE_INSTALL_LIBDIR}/lekta)
set(LEKTA_INSTALL_DATA_DIR ${CMAKE_INSTALL_DATADIR}/lekta)
set(LEKTA_INSTALL_HELP_DIR ${LEKTA_INSTALL_DATA_DIR}/help)
file(RELATIVE_PATH LEKTA_LIBRARY_DIR_FROM_PROGRAM
     ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_PREFIX}/${LEKTA_INSTALL_LIBRARY_DIR})
file(RELATIVE_PATH LEKTA_HELP_FILE_FROM_PROGRAM
     ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_PREFIX}/${LEKTA_INSTALL_HELP_DIR}/index.html)
