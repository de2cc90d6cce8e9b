# The Debian package of both programs (cpack -G DEB in a Release build): the libraries it needs
# come from dpkg-shlibdeps; Qt's plugins, loaded at run time, are named here.
set(KVADERON_PACKAGE_MAINTAINER "Kvaderon maintainers <maintainers@kvaderon.invalid>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kvaderon)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${KVADERON_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "lossless batch inversion of 16-bit TIFF film negatives")
set(CPACK_PACKAGE_DESCRIPTION
    "Kvaderon turns scanned film negatives, saved as 16-bit uncompressed TIFF
files, into positives in batches: it copies each file byte for byte and
inverts every image sample of the copy, so the header, every tag and any
thumbnail stay as they were. A second tool tells whether 16-bit samples
carry real 16-bit data or 8 bits widened to 16. The window (kvaderon) is
in Russian, with light and dark themes; kvaderon-cli does the same work
on the command line.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The SVG icons of the buttons and the window are drawn by Qt's SVG plugins.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
# TIFF previews in the open dialog, Qt's own dialogs in Russian, fonts as wide as the designed ones,
# and a font with the symbols of the result texts (⏰ ⏹) that no other Debian font of that size has.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-image-formats-plugins, qt6-translations-l10n, fonts-liberation2, fonts-symbola")

# Debian's documentation files: the package's changelog and its copyright statement.
set(doc_folder ${CMAKE_INSTALL_DATADIR}/doc/${CPACK_PACKAGE_NAME})
configure_file(changelog.in ${CMAKE_CURRENT_BINARY_DIR}/changelog @ONLY)
kvaderon_compressed(changelog ${CMAKE_CURRENT_BINARY_DIR}/changelog)
add_custom_target(kvaderon_changelog ALL DEPENDS ${changelog})
install(FILES ${changelog} copyright DESTINATION ${doc_folder})

include(CPack)
