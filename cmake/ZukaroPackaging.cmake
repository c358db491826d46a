# A Debian package through CPack: `cpack -G DEB` in the build folder after building.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zukaro)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_CONTACT "zukaro maintainers <zukaro@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so dpkg-shlibdeps cannot see them: the display plugins, Qt's Japanese
# texts and the fonts that "ＭＳ 明朝" and friends are printed with.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, qt6-translations-l10n, fonts-ipafont-mincho, fonts-ipafont-gothic")
set(CPACK_PACKAGE_DESCRIPTION "Japanese program for shops and warehouses: type the JAN code, \
maker, product name, spec, lot and price of each label, and print the sheet with real \
EAN-13/EAN-8 barcodes.")
set(CPACK_STRIP_FILES ON)
include(CPack)
