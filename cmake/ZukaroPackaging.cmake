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
# texts, the fonts that "ＭＳ 明朝" and friends are printed with, and the SQLite driver of the
# product master (without it the master cannot open at all). A chain's master on PostgreSQL
# needs Qt's PostgreSQL driver; a shop on its own does not. app/tests/tst_package.cpp checks
# that every plugin the program loads comes from a package named here or found by shlibdeps.
string(JOIN ", " CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins qt6-translations-l10n
    fonts-ipafont-mincho fonts-ipafont-gothic libqt6sql6-sqlite)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libqt6sql6-psql")
# One control-file line per line here; lintian wants them within 80 characters.
set(CPACK_PACKAGE_DESCRIPTION [[
A Japanese program for shops and warehouses. Each label carries a JAN
code, maker, product name, spec, lot and price (in yen); the JAN code is
printed as a real EAN-13 or EAN-8 barcode on the printer's pixel grid.

The editor runs from field to field with Enter, completes check digits,
sets font, colour, visibility, underline and position per item, and
shows prices with consumption tax (10 % or 8 %, rounded as chosen).
Sheets are saved as Shift_JIS CSV files. Product lists from a POS or a
spreadsheet (CSV or TSV in Shift_JIS or UTF-8, or .xlsx) print as many
sheets as they need, from any label of a partly used sheet on.

Every list read is kept in a product master, so that a scanned JAN code
fills its label: an SQLite file for a shop on its own, or one PostgreSQL
database that a chain's head office and all its shops share. Each
printer is calibrated once for where its labels land. From the command
line a sheet or a whole list prints to PDF or to a CUPS printer without
opening a window, and lists are imported into the master.]])
set(CPACK_STRIP_FILES ON)
# Plain strip keeps the compilers' .comment section (and a .note section, if any); take them
# out as dh_strip does whenever the install strips (cpack, cmake --install --strip).
install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
        execute_process(
            COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
                    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/$<TARGET_FILE_NAME:zukaro>\"
            COMMAND_ERROR_IS_FATAL ANY)
    endif()")

# What Debian wants of every package in /usr/share/doc/zukaro: the machine-readable copyright
# and the changelog, compressed with gzip -9n (no name, no time stamp) so the same sources give
# the same bytes.
find_program(GZIP gzip REQUIRED)
set(doc_dir ${CMAKE_CURRENT_BINARY_DIR}/doc)
add_custom_command(OUTPUT ${doc_dir}/changelog.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${doc_dir}
    COMMAND ${CMAKE_COMMAND} -E copy ${ZUKARO_CHANGELOG} ${doc_dir}/changelog
    COMMAND ${GZIP} -9nf ${doc_dir}/changelog
    DEPENDS ${ZUKARO_CHANGELOG}
    COMMENT "Compressing the changelog")
add_custom_target(zukaro_changelog ALL DEPENDS ${doc_dir}/changelog.gz)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${doc_dir}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
# Where lintian looks for the package's own overrides; inert outside a Debian package.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME zukaro)
include(CPack)
